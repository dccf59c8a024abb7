#pragma once
// tErrorSubject: what a diagnostic is about (a model object, a meta-class,
// a meta-feature, a line of the file being read). tError: one diagnostic.

#include "lum/diagnostics/codes.h"
#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;
class ClumMetaClass;
class ClumMetaFeature;

struct tErrorSubject {
    const ClumVellumEntity* entity = nullptr;
    const ClumMetaClass* metaClass = nullptr;
    const ClumMetaFeature* metaFeature = nullptr;
    long line = 0;

    tErrorSubject() = default;
    explicit tErrorSubject(long line_) : line(line_) {}
    explicit tErrorSubject(const ClumMetaClass* cls) : metaClass(cls) {}
    explicit tErrorSubject(const ClumMetaFeature* feature) : metaFeature(feature) {}
    tErrorSubject(const ClumMetaClass* cls, const ClumMetaFeature* feature) : metaClass(cls), metaFeature(feature) {}
    explicit tErrorSubject(const ClumVellumEntity* object) : entity(object) {}
    tErrorSubject(const ClumVellumEntity* object, const ClumMetaFeature* feature) : entity(object), metaFeature(feature) {}

    // Equal when entity, metaClass and metaFeature are equal; line is ignored.
    bool operator==(const tErrorSubject& other) const;
    // By entity, metaClass, line, metaFeature: the first that differs decides.
    bool operator<(const tErrorSubject& other) const;
    bool operator>(const tErrorSubject& other) const { return other < *this; }

    // What the diagnostic is about, printable: "Class Customer", "Line
    // Association A between 'X' and 'Y'", "feature quid of Class C",
    // "Class::operations", "line 12" or "<no subject>".
    WString ToString() const;
};

struct tError {
    enum Severity { Information, Warning, Error, FatalError, InternalError };

    // A default error is an Information with an empty message and no subject.
    Severity severity = Information;
    WString message;
    tErrorSubject subject;
    // What happened, whatever the wording; not part of equality or order.
    diag::Code code = diag::Unknown;

    tError() = default;
    tError(const tErrorSubject& subject_, Severity severity_, WString message_)
        : severity(severity_), message(std::move(message_)), subject(subject_) {}
    tError(diag::Code code_, const tErrorSubject& subject_, Severity severity_, WString message_)
        : severity(severity_), message(std::move(message_)), subject(subject_), code(code_) {}

    // "Information", "Warning", "Error", "FatalError" or "InternalError".
    static const wchar_t* ToString(Severity severity);

    bool operator==(const tError& other) const;
    // By severity, then subject, then message.
    bool operator<(const tError& other) const;
};

}  // namespace lum
LUM_API_END
