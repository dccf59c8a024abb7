#pragma once
// ClumLinkDecoder: turns the text value of a containment feature into the
// small primitive object (boolean, integer, float, string or identifier
// object) that the feature holds.

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;
class ClumMetaFeature;

class ClumLinkDecoder {
public:
    // A new object for `text` as a value of `feature`, owned by the caller;
    // null when no decoder serves the feature. A feature-specific decoder is
    // tried first, then one chosen by the feature's target class.
    static ClumVellumEntity* DecodeLink(const WString& text, const ClumMetaFeature& feature);
};

}  // namespace lum
LUM_API_END
