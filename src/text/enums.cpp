// Text codecs of the enumerations. Each enumeration is described by its
// literal table, indexed by enumerator value; two generic helpers do the work.

#include "lum/text/enums.h"

#include <cstddef>
#include <iterator>
#include <span>

#include "lum/text/value_problems.h"

namespace lum {

namespace {

using tLiterals = std::span<const wchar_t* const>;

// The index of the first literal matching the whole text in any letter case,
// or -1 after reporting that the text names no value of `typeName`.
int DecodeLiteral(const wchar_t* typeName, tLiterals literals, const WString& text)
{
    for (std::size_t i = 0; i < literals.size(); ++i) {
        if (WString::Match(text, literals[i], false))
            return static_cast<int>(i);
    }
    detail::ReportValueProblem(L"Cannot decode type '%s' from string '%s'", typeName, text.c_str());
    return -1;
}

// The literal exactly as tabled; `out` is left alone for an untabled value.
void EncodeLiteral(tLiterals literals, int value, WString& out)
{
    if (value >= 0 && static_cast<std::size_t>(value) < literals.size())
        out = literals[static_cast<std::size_t>(value)];
}

template <typename E>
bool DecodeEnum(const wchar_t* typeName, tLiterals literals, const WString& text, E& value)
{
    const int index = DecodeLiteral(typeName, literals, text);
    if (index < 0)
        return false;
    value = static_cast<E>(index);
    return true;
}

constexpr const wchar_t* kConcurrency[] = {L"Sequential", L"Guarded", L"Active", L"Synchronous"};
constexpr const wchar_t* kContainment[] = {L"By Reference", L"By Value"};
constexpr const wchar_t* kExportControl[] = {L"NoVisibility", L"Private", L"Protected", L"Implementation", L"Public"};
constexpr const wchar_t* kFrequency[] = {L"Aperiodic", L"Periodic"};
constexpr const wchar_t* kIconStyle[] = {L"None", L"Label", L"Decoration", L"Icon"};
constexpr const wchar_t* kLanguage[] = {
    L"none", L"Ada83", L"Ada95", L"Analysis", L"ANSI C++", L"C++", L"COM", L"CORBA", L"Data Modeler",
    L"DOT", L"Java", L"ObjectSwitch", L"Oracle8", L"VC++", L"Visual Basic", L"Web Modeler", L"XML_DTD",
};
constexpr const wchar_t* kMessageDir[] = {L"FromClientToSupplier", L"ToClientFromSupplier"};
constexpr const wchar_t* kModulePart[] = {L"NotAModulePart", L"Body", L"Generic", L"Main", L"Specification"};
constexpr const wchar_t* kModuleType[] = {L"NotAModuleType", L"PackageType", L"SubType", L"TaskType"};
constexpr const wchar_t* kParameterDirection[] = {L"in", L"out", L"inout"};
constexpr const wchar_t* kPersistence[] = {L"Transient", L"Persistent", L"Static"};
constexpr const wchar_t* kScheduling[] = {L"Preemptive", L"NonPreemptive", L"Cyclic", L"Executive", L"Manual"};
constexpr const wchar_t* kStateType[] = {L"Normal", L"StartState", L"EndState", L"History", L"HistoryAll"};
constexpr const wchar_t* kSynchronization[] = {
    L"Simple", L"Synchronous", L"Balking", L"Timeout", L"ProcedureCall", L"Asynchronous", L"Return",
};
constexpr const wchar_t* kActionTimeWhen[] = {L"Entry", L"Exit", L"UponEvent", L"Activity"};

// A table must name every enumerator, no more and no fewer.
static_assert(std::size(kConcurrency) == Concurrency_Synchronous + 1);
static_assert(std::size(kContainment) == Containment_ByValue + 1);
static_assert(std::size(kExportControl) == ExportControl_Public + 1);
static_assert(std::size(kFrequency) == Frequency_Periodic + 1);
static_assert(std::size(kIconStyle) == IconStyle_Icon + 1);
static_assert(std::size(kLanguage) == Language_XML_DTD + 1);
static_assert(std::size(kMessageDir) == MessageDir_ToClientFromSupplier + 1);
static_assert(std::size(kModulePart) == ModulePart_Specification + 1);
static_assert(std::size(kModuleType) == ModuleType_TaskType + 1);
static_assert(std::size(kParameterDirection) == ParameterDirection_inout + 1);
static_assert(std::size(kPersistence) == Persistence_Static + 1);
static_assert(std::size(kScheduling) == Scheduling_Manual + 1);
static_assert(std::size(kStateType) == StateType_HistoryAll + 1);
static_assert(std::size(kSynchronization) == Synchronization_Return + 1);
static_assert(std::size(kActionTimeWhen) == ActionTimeWhen_Activity + 1);

}  // namespace

// The pair of codecs of enumeration `Type` over the literal table `table`;
// the type's own name is what a failed decode reports.
#define LUM_ENUM_CODECS(Type, table)                          \
    bool Decode##Type(const WString& text, Type& value)       \
    {                                                         \
        return DecodeEnum(L"" #Type, table, text, value);     \
    }                                                         \
    void Encode##Type(const Type& value, WString& out)        \
    {                                                         \
        EncodeLiteral(table, static_cast<int>(value), out);   \
    }

LUM_ENUM_CODECS(EConcurrency, kConcurrency)
LUM_ENUM_CODECS(EContainment, kContainment)
LUM_ENUM_CODECS(EExportControl, kExportControl)
LUM_ENUM_CODECS(EFrequency, kFrequency)
LUM_ENUM_CODECS(EIconStyle, kIconStyle)
LUM_ENUM_CODECS(ELanguage, kLanguage)
LUM_ENUM_CODECS(EMessageDir, kMessageDir)
LUM_ENUM_CODECS(EModulePart, kModulePart)
LUM_ENUM_CODECS(EModuleType, kModuleType)
LUM_ENUM_CODECS(EParameterDirection, kParameterDirection)
LUM_ENUM_CODECS(EPersistence, kPersistence)
LUM_ENUM_CODECS(EScheduling, kScheduling)
LUM_ENUM_CODECS(EStateType, kStateType)
LUM_ENUM_CODECS(ESynchronization, kSynchronization)
LUM_ENUM_CODECS(EActionTimeWhen, kActionTimeWhen)

#undef LUM_ENUM_CODECS

}  // namespace lum
