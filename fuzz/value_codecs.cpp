// Fuzz target: the text codecs of attribute values and references. Each
// line of the input is decoded as every value type and as a reference; what
// was read must read back the same from its own encoding (float aside: six
// decimals do not keep every value).

#include <cstdlib>
#include <string>

#include <lum/model/attribute_codec.h>

#include "fuzz_support.h"

namespace {

using lum::WString;

void Require(bool condition) {
    if (!condition) std::abort();
}

// A value read without a failure reads back unchanged from its encoding.
template <class T, class Decode, class Encode>
void CheckRoundTrip(const WString& text, Decode decode, Encode encode) {
    T value{};
    if (!decode(text, value)) return;
    WString encoded;
    encode(value, encoded);
    T again{};
    Require(decode(encoded, again) && again == value);
}

// A decoded value, encoded, decoded and encoded again, gives the same text.
template <class T>
void CheckEncodingIsStable(const WString& text) {
    T value{};
    lum::detail::DecodeValue(text, value);
    WString first;
    lum::detail::EncodeValue(value, first);
    T again{};
    lum::detail::DecodeValue(first, again);
    WString second;
    lum::detail::EncodeValue(again, second);
    Require(first == second);
}

void CheckReference(const WString& text) {
    lum::ClumObjectRef* ref = lum::ClumObjectRef::Decode(text);
    if (ref == nullptr) return;
    WString first;
    lum::ClumObjectRef::Encode(*ref, first);
    delete ref;
    // An empty text (":" reads as one empty name) is the empty reference.
    lum::ClumObjectRef* again = lum::ClumObjectRef::Decode(first);
    Require((again == nullptr) == first.empty());
    if (again == nullptr) return;
    WString second;
    lum::ClumObjectRef::Encode(*again, second);
    Require(first == second);
    delete again;
}

void CheckLine(const WString& text) {
    CheckRoundTrip<bool>(text, lum::DecodeBool, lum::EncodeBool);
    CheckRoundTrip<int>(text, lum::DecodeInt, lum::EncodeInt);
    float number = 0;
    lum::DecodeFloat(text, number);
    WString encoded;
    lum::EncodeFloat(number, encoded);
    CheckEncodingIsStable<WString>(text);
    CheckEncodingIsStable<lum::ClumIdent>(text);
    CheckEncodingIsStable<lum::tLocation>(text);
    CheckEncodingIsStable<lum::tPointVector>(text);
#define LUM_CHECK_ENUM(Type) CheckRoundTrip<lum::Type>(text, lum::Decode##Type, lum::Encode##Type);
    LUM_ATTRIBUTE_ENUMERATIONS(LUM_CHECK_ENUM)
#undef LUM_CHECK_ENUM
    CheckReference(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lum::fuzz::tSession session(data, size);
    for (std::string_view line : lum::fuzz::SplitInput(session.Text(), "\n")) {
        CheckLine(WString(std::string(line).c_str()));
    }
    return 0;
}
