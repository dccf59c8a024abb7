#include "lum/model/attribute_codec.h"

namespace lum::detail {

void DecodeValue(const WString& text, bool& value) { DecodeBool(text, value); }
void DecodeValue(const WString& text, int& value) { DecodeInt(text, value); }
void DecodeValue(const WString& text, float& value) { DecodeFloat(text, value); }
void DecodeValue(const WString& text, WString& value) { value = text; }
// An identifier ends at the first NUL of the text.
void DecodeValue(const WString& text, ClumIdent& value) { value = ClumIdent(text.c_str()); }
void DecodeValue(const WString& text, tLocation& value) { value = tLocation::Decode(text); }
void DecodeValue(const WString& text, tPointVector& value) { value = tPointVector::Decode(text); }

void EncodeValue(const bool& value, WString& out) { EncodeBool(value, out); }
void EncodeValue(const int& value, WString& out) { EncodeInt(value, out); }
void EncodeValue(const float& value, WString& out) { EncodeFloat(value, out); }
void EncodeValue(const WString& value, WString& out) { WString::Encode(value, out); }
void EncodeValue(const ClumIdent& value, WString& out) { ClumIdent::Encode(value, out); }
void EncodeValue(const tLocation& value, WString& out) { tLocation::Encode(value, out); }
void EncodeValue(const tPointVector& value, WString& out) {
    out.clear();
    tPointVector::Encode(value, out);
}

#define LUM_DEFINE_ENUM_VALUE_CODEC(Type)                                               \
    void DecodeValue(const WString& text, Type& value) { Decode##Type(text, value); } \
    void EncodeValue(const Type& value, WString& out) { Encode##Type(value, out); }
LUM_ATTRIBUTE_ENUMERATIONS(LUM_DEFINE_ENUM_VALUE_CODEC)
#undef LUM_DEFINE_ENUM_VALUE_CODEC

}  // namespace lum::detail
