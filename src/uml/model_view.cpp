// The front door hands out the UML view of its model, built once.

#include "lum/document/model.h"
#include "lum/uml/view.h"
#include "document/model_impl.h"

namespace lum {

const uml::View& Model::Uml() const {
    if (!m_pImpl->uml) m_pImpl->uml = std::make_shared<const uml::View>(uml::View::Build(m_pImpl->files));
    return *m_pImpl->uml;
}

}  // namespace lum
