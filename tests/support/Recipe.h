#pragma once
// Recorder files described in a few words a line, for the case tables:
//
//   data NAME [from=OTHER] [version= revision= type= ident= label= scale=L,M,H opt= first= last= alarm=]
//   block [at=TIME|+SECONDS] [every=TICKS|Ns] [i16=|u16=|u8=|f32=|bits=LIST] [code= type= scale=LABEL,L,M,H,OPT
//         alarm=MASK/F,S,T,O/... gap= count= prev= nextblock= badcrc repeat=N]
//   block#I [the same keys]    changes block I of the current file (one copied with from=)
//   alm NAME [version= revision= type= ident= labels=OPEN|CLOSE;... ring=CAPACITY:OLDEST first= last= wrap=]
//   event [at=TIME|+SECONDS] [point= alarm= code= value=F | bits=HEX] [repeat=N]
//
// TIME is 2001-03-05T14:05:00[.ffff]; an event position @N is ring slot N. A
// LIST holds items V, V*COUNT and A..B[/STEP]. A value may be quoted, with
// \xNN, \" and \\ inside.
#include <istream>
#include <stdexcept>
#include <string>

namespace testfile {

struct RecipeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reads recipe lines until the end of `in` and writes each file into
// `directory`; throws RecipeError naming the line it cannot read.
void writeRecipe(std::istream& in, const std::string& directory);

}  // namespace testfile
