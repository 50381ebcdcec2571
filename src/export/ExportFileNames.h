#pragma once
// Names of the files of a split export: the first name becomes a counter
// template, and each further file counts it up.
#include <string>

// DATA.TXT -> DATA0000.TXT, EXP?.CSV -> EXP00000.CSV, A*.TXT -> A0000000.TXT.
// Only the last part of the path changes.
void makeNameTemplate(std::string& path);
// DATA0009.TXT -> DATA0010.TXT. Counts only within the last path part and
// returns false, leaving the path as it was, when no digit there is left
// to count (no digit, or all nines): the next name would repeat one
// already written.
bool nextFileName(std::string& path);
