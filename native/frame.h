// frame.h - the call frame shared by every module function: one table row per
// function, argument binding and conversion, JSON-text arguments, results and
// the mapping of core failures to Python exceptions.
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "json/arguments.h"
#include "json/pretty_writer.h"

namespace velmora::native {

/// A converted argument. Which alternative a parameter gets is decided by its
/// name (see param_kind in frame.cpp).
using Value = std::variant<std::monostate, std::string, uint64_t, int64_t, std::optional<uint64_t>,
                           std::optional<std::string>, std::vector<uint64_t>, std::vector<std::string>,
                           std::optional<std::vector<std::string>>, json::JsonArgument>;

/// The converted arguments of one call, in parameter order.
class Args {
 public:
  explicit Args(std::vector<Value> values) : values_(std::move(values)) {}

  const std::string& text(size_t i) const { return std::get<std::string>(values_[i]); }
  uint64_t u64(size_t i) const { return std::get<uint64_t>(values_[i]); }
  int64_t i64(size_t i) const { return std::get<int64_t>(values_[i]); }
  const std::optional<uint64_t>& opt_u64(size_t i) const { return std::get<std::optional<uint64_t>>(values_[i]); }
  const std::optional<std::string>& opt_text(size_t i) const {
    return std::get<std::optional<std::string>>(values_[i]);
  }
  const std::vector<uint64_t>& u64_list(size_t i) const { return std::get<std::vector<uint64_t>>(values_[i]); }
  const std::vector<std::string>& text_list(size_t i) const {
    return std::get<std::vector<std::string>>(values_[i]);
  }
  const std::optional<std::vector<std::string>>& opt_text_list(size_t i) const {
    return std::get<std::optional<std::vector<std::string>>>(values_[i]);
  }
  template <class Shape>
  const Shape& parsed(size_t i) const {
    return std::get<Shape>(std::get<json::JsonArgument>(values_[i]));
  }

 private:
  std::vector<Value> values_;
};

/// What a core operation hands back to the frame: JSON text, or the bytes of
/// a package for the one function that returns bytes.
struct Outcome {
  std::string data;
  bool is_bytes = false;
};

/// Serialises a result record with its write_json overload.
template <class Record>
Outcome json_result(const Record& record) {
  json::PrettyWriter out;
  write_json(out, record);
  return {out.take(), false};
}

/// One module function: its name, its parameters as they appear in the text
/// signature, and the core operation it runs (null while that operation is
/// not built).
struct FunctionRow {
  const char* name;
  const char* params;                // "input, output, slide_index"; "" for none
  Outcome (*run)(const Args& args);  // null: the core operation is not built yet
  const char* doc = nullptr;         // documentation after the signature, if any
};

/// Runs one call of `row`: bind, convert, parse JSON arguments, run, and
/// return the result or set the Python exception. The interpreter lock is
/// held for the whole call, file and XML work included.
PyObject* call_function(const FunctionRow& row, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

/// The method definition of a row, with its documentation text built once.
PyMethodDef method_def(const FunctionRow& row, PyCFunction entry);

/// One entry point per row: CPython gives a module function no data of its
/// own, so each row gets a trampoline that knows its index.
template <const FunctionRow* Rows, size_t I>
PyObject* trampoline(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return call_function(Rows[I], args, nargs, kwnames);
}

/// The NULL-terminated method table of a registration group, in row order.
template <const FunctionRow* Rows, size_t N>
PyMethodDef* method_table() {
  static std::vector<PyMethodDef> table = []<size_t... I>(std::index_sequence<I...>) {
    std::vector<PyMethodDef> defs{method_def(Rows[I], reinterpret_cast<PyCFunction>(
                                                          reinterpret_cast<void (*)()>(&trampoline<Rows, I>)))...};
    defs.push_back({nullptr, nullptr, 0, nullptr});
    return defs;
  }(std::make_index_sequence<N>{});
  return table.data();
}

/// The registration groups, each adding its functions to the module in row order.
int add_native_core(PyObject* module);
int add_native_media(PyObject* module);
int add_native_shapes(PyObject* module);
int add_native_text_boxes(PyObject* module);
int add_module_functions(PyObject* module);

}  // namespace velmora::native
