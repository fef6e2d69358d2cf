// What folding writes beyond utf8proc's case folding and decomposition: the
// one list of it, read by the library and by the tests' plain reading.
//
// - In the modes that remove marks, the letters that Unicode gives no
//   decomposition are written as the letters people type for them when they
//   leave accents out (Łódź as Lodz, Ørsted as Orsted, Þór as Thor, Guðrún as
//   Gudrun). The capitals are listed for the mode that keeps letter case;
//   where case is folded only the small letters reach the table.
// - In the modes that fold letter case, the typographic apostrophes are
//   written as the ASCII one, so that O’Brien meets O'Brien.
//
// Each applies to what utf8proc gives for a code point, before ASCII letters
// are lower-cased.
#ifndef VESNIK_CAPI_FOLDTABLE_H
#define VESNIK_CAPI_FOLDTABLE_H

namespace vesnik::capi {

struct CodePointRewrite {
    char32_t codePoint;
    char const* ascii;
};

constexpr CodePointRewrite kLettersWithoutDecomposition[] = {
    {0x00C6, "AE"}, {0x00E6, "ae"},  // Æ æ
    {0x00D0, "D"},  {0x00F0, "d"},   // Ð ð
    {0x00D8, "O"},  {0x00F8, "o"},   // Ø ø
    {0x00DE, "TH"}, {0x00FE, "th"},  // Þ þ
    {0x0110, "D"},  {0x0111, "d"},   // Đ đ
    {0x0126, "H"},  {0x0127, "h"},   // Ħ ħ
    {0x0131, "i"},                   // ı, whose capital is I
    {0x0141, "L"},  {0x0142, "l"},   // Ł ł
    {0x0152, "OE"}, {0x0153, "oe"},  // Œ œ
    {0x0166, "T"},  {0x0167, "t"},   // Ŧ ŧ
};

constexpr CodePointRewrite kApostrophes[] = {
    {0x2018, "'"},  // ‘
    {0x2019, "'"},  // ’
};

}  // namespace vesnik::capi

#endif
