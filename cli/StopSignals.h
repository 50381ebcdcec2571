#pragma once
// Ctrl+C, kill and a closed terminal end harvex without leaving the
// temporary file of an unfinished output behind; the file it would have
// replaced stays as it was. The exit status is 128 plus the signal's number
// (130 for Ctrl+C, 143 for kill), as shells report it.

// Signals ignored when harvex starts (nohup, a background job) stay ignored.
void installStopHandlers();
// The exit status of an export that stopped because it was asked to.
int stoppedStatus();
