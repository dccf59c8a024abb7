#pragma once
// What the Python objects hold. Every handle to a raw object or a UML element
// holds the model it belongs to, so a model lives as long as anything taken
// from it: deleting the Python model first only drops one of its holders.

#include <memory>
#include <string>

#include <pybind11/pybind11.h>

#include <lum/lum.h>

namespace lumpy {

namespace py = pybind11;

using ModelPtr = std::shared_ptr<const lum::Model>;

// lum.Model: the loaded model.
struct ModelHandle {
    ModelPtr model;
};

// lum.Object: one raw object of a model.
struct ObjectHandle {
    ModelPtr model;
    const lum::ClumVellumEntity* entity;
};

// lum.uml.Element and its kinds: one element of a model's UML view.
struct ElementHandle {
    ModelPtr model;
    const lum::uml::Element* element;
};

// The handle of an element of type T, so that each kind is its own Python type.
template <class T>
struct ElementOf : ElementHandle {
    const T& Get() const { return static_cast<const T&>(*element); }
};

inline std::string Utf8(const std::wstring& text) { return lum::ToUtf8(text); }
inline std::string Utf8(const lum::ClumIdent& ident) { return lum::ToUtf8(ident.c_str()); }

// A raw object or None for null.
py::object Wrap(const ModelPtr& model, const lum::ClumVellumEntity* entity);
// The element as the Python type of its kind, or None for null.
py::object Wrap(const ModelPtr& model, const lum::uml::Element* element);

void BindRaw(py::module_& module);
void BindUml(py::module_& module);

}  // namespace lumpy
