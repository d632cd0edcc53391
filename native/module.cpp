// module.cpp - the velmora_native extension module: definition and
// multi-phase initialisation. The module keeps no state of its own.
#include "frame.h"

namespace velmora::native {
namespace {

// The execution slot: the registration groups add their functions in this
// order; the first failure ends initialisation.
int exec_module(PyObject* module) {
  for (int (*add)(PyObject*) : {add_native_core, add_native_media, add_native_shapes, add_native_text_boxes,
                                add_module_functions}) {
    if (add(module) < 0) return -1;
  }
  return 0;
}

PyModuleDef_Slot module_slots[] = {
    {Py_mod_exec, reinterpret_cast<void*>(&exec_module)},
    {0, nullptr},
};

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "velmora_native",  // m_name
    "",                // m_doc
    0,                 // m_size: no per-module state
    nullptr,           // m_methods: added by the execution slot
    module_slots,
    nullptr,  // m_traverse
    nullptr,  // m_clear
    nullptr,  // m_free
};

}  // namespace
}  // namespace velmora::native

PyMODINIT_FUNC PyInit_velmora_native(void) { return PyModuleDef_Init(&velmora::native::module_def); }
