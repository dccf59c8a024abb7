// The UML view of a loaded model, built once and kept with the model.

#include "lum/document/model.h"
#include "lum/uml/view.h"

namespace lum::uml {

namespace {

std::shared_ptr<const void> BuildView(const Model& model) {
    return std::make_shared<const View>(View::Build(model.Files()));
}

}  // namespace

const View& View::Of(const Model& model) { return *static_cast<const View*>(model.Derived(&BuildView)); }

}  // namespace lum::uml
