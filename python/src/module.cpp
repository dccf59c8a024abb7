// The Python module lum: the library's front door and its UML view.

#include "handles.h"

PYBIND11_MODULE(lum, module) {
    module.doc() = "Reads models in the Vellum notation into a bound object graph, with its UML view.";
    lumpy::BindRaw(module);
    lumpy::BindUml(module);
}
