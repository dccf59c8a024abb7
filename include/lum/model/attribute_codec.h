#pragma once
// The codec of each attribute value type, as overloads that the attribute
// template picks by type: DecodeValue reads a text into a zero-initialised
// value (a failed read reports and leaves it zero), EncodeValue writes it.

#include "lum/export.h"
#include "lum/text/codecs.h"
#include "lum/text/enums.h"
#include "lum/text/ident.h"
#include "lum/text/location.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum::detail {

void DecodeValue(const WString& text, bool& value);
void DecodeValue(const WString& text, int& value);
void DecodeValue(const WString& text, float& value);
void DecodeValue(const WString& text, WString& value);
void DecodeValue(const WString& text, ClumIdent& value);
void DecodeValue(const WString& text, tLocation& value);
void DecodeValue(const WString& text, tPointVector& value);

void EncodeValue(const bool& value, WString& out);
void EncodeValue(const int& value, WString& out);
void EncodeValue(const float& value, WString& out);
void EncodeValue(const WString& value, WString& out);
void EncodeValue(const ClumIdent& value, WString& out);
void EncodeValue(const tLocation& value, WString& out);
void EncodeValue(const tPointVector& value, WString& out);

// Every enumeration an attribute can hold, for code that treats them alike.
#define LUM_ATTRIBUTE_ENUMERATIONS(X) \
    X(EConcurrency)                   \
    X(EContainment)                   \
    X(EExportControl)                 \
    X(EFrequency)                     \
    X(EIconStyle)                     \
    X(ELanguage)                      \
    X(EMessageDir)                    \
    X(EModulePart)                    \
    X(EModuleType)                    \
    X(EParameterDirection)            \
    X(EPersistence)                   \
    X(EScheduling)                    \
    X(EStateType)                     \
    X(ESynchronization)               \
    X(EActionTimeWhen)

#define LUM_DECLARE_ENUM_VALUE_CODEC(Type)              \
    void DecodeValue(const WString& text, Type& value); \
    void EncodeValue(const Type& value, WString& out);
LUM_ATTRIBUTE_ENUMERATIONS(LUM_DECLARE_ENUM_VALUE_CODEC)
#undef LUM_DECLARE_ENUM_VALUE_CODEC

}  // namespace lum::detail
LUM_API_END
