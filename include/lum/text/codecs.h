#pragma once
// Text codecs of the scalar attribute types. Decode* report failures on the
// current error list and leave the value as it was; Encode* replace `out`.

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

// "true" / "false" in any letter case, nothing else (no trimming).
bool DecodeBool(const WString& text, bool& value);
void EncodeBool(const bool& value, WString& out);

// Blanks around, optional sign, decimal digits; wraps around on overflow.
bool DecodeInt(const WString& text, int& value);
void EncodeInt(const int& value, WString& out);

// The leading number of the text, 0 if none; never fails, never reports.
bool DecodeFloat(const WString& text, float& value);
// Six decimals, no exponent ("3.500000"), whatever the C locale.
void EncodeFloat(const float& value, WString& out);

}  // namespace lum
LUM_API_END
