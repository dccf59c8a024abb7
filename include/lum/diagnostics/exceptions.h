#pragma once
// The library's exceptions. Only tCannotOpenFileException is ever thrown by
// the library itself; every other problem is recorded on the error list.

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class LUMException {
public:
    virtual ~LUMException() = default;
    // A printable description; the base gives "LUMException".
    virtual void ToString(WString& out);
};

// A model file could not be opened; carries the name as it was given.
class tCannotOpenFileException : public LUMException {
public:
    explicit tCannotOpenFileException(WString fileName) : m_strFileName(std::move(fileName)) {}
    const WString& GetFileName() const { return m_strFileName; }
    // "Cannot open file <name>".
    void ToString(WString& out) override;

private:
    WString m_strFileName;
};

}  // namespace lum
LUM_API_END
