#pragma once
// The stable code of every diagnostic the library and the model front door
// report. A code names what happened, whatever the wording; hosts filter and
// count by it. New codes are added at the end, so the numbers never change.

#include "lum/export.h"

LUM_API_BEGIN
namespace lum::diag {

enum Code : unsigned short {
    Unknown = 0,         // reported by a host through the plain FormatError
    BadValue,            // a value text that cannot be decoded ("Cannot decode ...")
    SyntaxError,         // "Vellum syntax error", "Vellum syntax error near %s"
    NotTopLevel,         // a list or value where a top-level object belongs
    UnknownFeature,      // a feature the class does not have (dropped: never recorded)
    TopLevelDropped,     // a top-level object that is not a header, design or unit
    UnknownClass,        // no meta-class of that keyword
    AbstractClass,       // the keyword names an abstract class
    BadLinkValue,        // a link value that is neither an object nor a decodable text
    WrongLinkType,       // a link value of a class the link does not take
    BadReference,        // a reference text that cannot be decoded
    ReferenceNotSet,     // binding a reference that holds no value
    BindToNull,          // binding a reference to no object
    BindToWrongClass,    // binding a reference to an object of a class it does not take
    Ambiguous,           // several objects qualify for a reference equally well
    AmbiguityCandidate,  // one of them (follows Ambiguous)
    CodePageChosen,      // the code page the model is read in, and why
    UnitFoundElsewhere,  // a unit file found elsewhere than its stored path says
    UnitNotFound,        // a unit file that cannot be found or read
    UndefinedSymbol,     // a path symbol nobody defined (advice, once per symbol)
    CyclicSymbol,        // a path symbol whose definition leads back to itself
    FileNotReadable,     // a main file or path map that cannot be read
    CodeCount
};

// The enumerator's name ("UnitNotFound"); "Unknown" for a number out of range.
const char* Name(Code code);

}  // namespace lum::diag
LUM_API_END
