#pragma once

// The decimal and grouping separators of other scripts, as "." and ",": an amount written with
// the digits of such a script comes with them ("١٢٣٫٤٥"), and dropping them would read it a
// hundred times too large.

#include <unicode/umachine.h>

namespace ambrel {

struct ForeignSeparator {
    UChar32 character;
    char ascii;  // '.' for a decimal separator, ',' for a grouping one
};

// A constant, so that reading an amount never walks ICU's numbering systems. Made once from
// ICU: for every decimal numbering system (radix 10, not algorithmic), the root locale's number
// symbols, the decimal and monetary separators standing for "." and the grouping and monetary
// grouping separators for ","; kept are the single punctuation characters outside ASCII that
// no system uses for the other kind. ICU 72 gives this pair, of "arab" and "arabext"; the
// payment text tests build the table again from ICU, so a newer ICU cannot leave it behind.
inline constexpr ForeignSeparator kForeignSeparators[] = {
    {0x066B, '.'},  // ARABIC DECIMAL SEPARATOR
    {0x066C, ','},  // ARABIC THOUSANDS SEPARATOR
};

}  // namespace ambrel
