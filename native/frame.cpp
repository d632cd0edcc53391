// frame.cpp - binding, conversion, JSON arguments, results and errors for
// every module function.
#include "frame.h"

#include <cstring>
#include <deque>
#include <new>
#include <string_view>

#include "error.h"

namespace velmora::native {

namespace {

// ---------------------------------------------------------------------------
// Parameter kinds. Every parameter name has one kind across all functions,
// with the exceptions handled in param_kind.

enum class ParamKind { Path, Text, U64, I64, OptU64, OptText, U64List, TextList, OptTextList, Bytes, Json };

bool name_in(std::string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view n : names) {
    if (n == name) return true;
  }
  return false;
}

ParamKind param_kind(std::string_view function, std::string_view param) {
  if (name_in(param, {"input", "output", "path"})) return ParamKind::Path;
  if (function.find("freeform_shape") != std::string_view::npos &&
      name_in(param, {"x_emu", "y_emu", "cx_emu", "cy_emu", "path_w", "path_h"})) {
    return ParamKind::I64;
  }
  if (name_in(function, {"add_slide_connected_connector_json", "add_slide_connected_group_connector_json"}) &&
      name_in(param, {"begin_shape_id", "begin_cxn_pt_idx", "end_shape_id", "end_cxn_pt_idx"})) {
    return ParamKind::OptU64;
  }
  if (param == "text") {
    return function == "add_slide_auto_shape_with_options_json" ? ParamKind::OptText : ParamKind::Text;
  }
  if (name_in(param, {"icon_path", "placeholder_type", "placeholder_orient", "placeholder_size",
                      "placeholder_idx"})) {
    return ParamKind::OptText;
  }
  if (param == "child_indices") return ParamKind::U64List;
  if (param == "target_slide_parts") return ParamKind::TextList;
  if (param == "ordered_survivor_parts") return ParamKind::OptTextList;
  if (param == "xlsx") return ParamKind::Bytes;
  if (param.ends_with("_json")) return ParamKind::Json;
  if (name_in(param, {"preset_geometry", "begin_preset_geometry", "end_preset_geometry",
                      "connector_preset_geometry", "search", "replacement", "relationship_id", "image_path",
                      "movie_path", "poster_frame_path", "mime_type", "object_path", "prog_id",
                      "target_slide_part", "source_slide_part", "sheet_name"})) {
    return ParamKind::Text;
  }
  // Indices, counts, ids and EMU lengths.
  return ParamKind::U64;
}

// ---------------------------------------------------------------------------
// Owned references.

class Ref {
 public:
  explicit Ref(PyObject* object) : object_(object) {}
  ~Ref() { Py_XDECREF(object_); }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  PyObject* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  PyObject* object_;
};

// Thrown by the converters once a Python exception is set.
struct PythonErrorSet {};

[[noreturn]] void type_error(const FunctionRow& row, std::string_view param, const char* expected, PyObject* got) {
  const std::string message = std::string(row.name) + "() argument '" + std::string(param) + "' must be " +
                              expected + ", not " + Py_TYPE(got)->tp_name;
  PyErr_SetString(PyExc_TypeError, message.c_str());
  throw PythonErrorSet{};
}

// Raises RuntimeError with the whole of `message`: a NUL inside it does not
// end it, and bytes that are not UTF-8 are replaced rather than turning the
// failure into a decoding error.
void set_runtime_error(std::string_view message) {
  Ref text(PyUnicode_DecodeUTF8(message.data(), static_cast<Py_ssize_t>(message.size()), "replace"));
  if (text) PyErr_SetObject(PyExc_RuntimeError, text.get());
}

std::string utf8_of(PyObject* text) {
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(text, &size);
  if (data == nullptr) throw PythonErrorSet{};
  return std::string(data, static_cast<size_t>(size));
}

// Paths are reported back in the JSON results, which hold UTF-8 only, so a
// path that has no UTF-8 form (lone surrogates from os.fsdecode of a name
// that is not UTF-8) is refused here, before any file is touched.
std::string path_of(PyObject* text) {
  Py_ssize_t size = 0;
  const char* data = PyUnicode_AsUTF8AndSize(text, &size);
  if (data == nullptr) {
    PyErr_SetString(PyExc_RuntimeError, "path contains invalid UTF-8 characters");
    throw PythonErrorSet{};
  }
  return std::string(data, static_cast<size_t>(size));
}

uint64_t to_u64(const FunctionRow& row, std::string_view param, PyObject* value) {
  if (!PyIndex_Check(value)) type_error(row, param, "int", value);
  Ref number(PyNumber_Index(value));
  if (!number) throw PythonErrorSet{};
  const unsigned long long result = PyLong_AsUnsignedLongLong(number.get());
  if (result == static_cast<unsigned long long>(-1) && PyErr_Occurred()) throw PythonErrorSet{};
  return result;
}

int64_t to_i64(const FunctionRow& row, std::string_view param, PyObject* value) {
  if (!PyIndex_Check(value)) type_error(row, param, "int", value);
  Ref number(PyNumber_Index(value));
  if (!number) throw PythonErrorSet{};
  const long long result = PyLong_AsLongLong(number.get());
  if (result == -1 && PyErr_Occurred()) throw PythonErrorSet{};
  return result;
}

// A sequence other than str, converted element by element.
template <class Element, class Convert>
std::vector<Element> to_list(const FunctionRow& row, std::string_view param, PyObject* value, const char* expected,
                             Convert convert) {
  if (PyUnicode_Check(value) || !PySequence_Check(value)) type_error(row, param, expected, value);
  Ref items(PySequence_Fast(value, "not a sequence"));
  if (!items) throw PythonErrorSet{};
  const Py_ssize_t count = PySequence_Fast_GET_SIZE(items.get());
  std::vector<Element> out;
  out.reserve(static_cast<size_t>(count));
  for (Py_ssize_t i = 0; i < count; ++i) {
    out.push_back(convert(PySequence_Fast_GET_ITEM(items.get(), i)));
  }
  return out;
}

std::string to_text(const FunctionRow& row, std::string_view param, PyObject* value) {
  if (!PyUnicode_Check(value)) type_error(row, param, "str", value);
  return utf8_of(value);
}

Value convert(const FunctionRow& row, std::string_view param, PyObject* value) {
  switch (param_kind(row.name, param)) {
    case ParamKind::Path:
      if (!PyUnicode_Check(value)) type_error(row, param, "str", value);
      return path_of(value);
    case ParamKind::Text:
      return to_text(row, param, value);
    case ParamKind::U64:
      return to_u64(row, param, value);
    case ParamKind::I64:
      return to_i64(row, param, value);
    case ParamKind::OptU64:
      if (value == Py_None) return std::optional<uint64_t>();
      return std::optional<uint64_t>(to_u64(row, param, value));
    case ParamKind::OptText:
      if (value == Py_None) return std::optional<std::string>();
      if (!PyUnicode_Check(value)) type_error(row, param, "str or None", value);
      return std::optional<std::string>(utf8_of(value));
    case ParamKind::U64List:
      return to_list<uint64_t>(row, param, value, "a sequence of int",
                               [&](PyObject* item) { return to_u64(row, param, item); });
    case ParamKind::TextList:
      return to_list<std::string>(row, param, value, "a sequence of str",
                                  [&](PyObject* item) { return to_text(row, param, item); });
    case ParamKind::OptTextList:
      if (value == Py_None) return std::optional<std::vector<std::string>>();
      return std::optional<std::vector<std::string>>(to_list<std::string>(
          row, param, value, "a sequence of str or None", [&](PyObject* item) { return to_text(row, param, item); }));
    case ParamKind::Bytes:
      if (!PyBytes_Check(value)) type_error(row, param, "bytes", value);
      return std::string(PyBytes_AS_STRING(value), static_cast<size_t>(PyBytes_GET_SIZE(value)));
    case ParamKind::Json:
      return to_text(row, param, value);  // parsed after every argument is converted
  }
  return std::monostate{};
}

// ---------------------------------------------------------------------------
// Binding: positional or keyword, every parameter either way.

struct Signature {
  std::vector<std::string> params;
  size_t required = 0;  // leading parameters without a default
};

Signature parse_signature(const char* text) {
  Signature signature;
  std::string_view rest(text);
  while (!rest.empty()) {
    const size_t comma = rest.find(',');
    std::string_view item = rest.substr(0, comma);
    while (item.starts_with(' ')) item.remove_prefix(1);
    const size_t equals = item.find('=');
    signature.params.emplace_back(item.substr(0, equals));
    if (equals == std::string_view::npos) signature.required = signature.params.size();
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  return signature;
}

const Signature& signature_of(const FunctionRow& row) {
  // Rows live for the whole process; their parsed signatures are kept beside them.
  static std::deque<std::pair<const FunctionRow*, Signature>> cache;
  for (const auto& [cached_row, signature] : cache) {
    if (cached_row == &row) return signature;
  }
  return cache.emplace_back(&row, parse_signature(row.params)).second;
}

// Returns borrowed references, one per parameter; null for an omitted
// parameter with a default.
std::vector<PyObject*> bind(const FunctionRow& row, const Signature& signature, PyObject* const* args,
                            Py_ssize_t nargs, PyObject* kwnames) {
  const size_t count = signature.params.size();
  if (static_cast<size_t>(nargs) > count) {
    PyErr_Format(PyExc_TypeError, "%s() takes at most %zu argument%s (%zd given)", row.name, count,
                 count == 1 ? "" : "s", nargs);
    throw PythonErrorSet{};
  }
  std::vector<PyObject*> bound(count, nullptr);
  for (Py_ssize_t i = 0; i < nargs; ++i) bound[static_cast<size_t>(i)] = args[i];
  const Py_ssize_t nkw = kwnames == nullptr ? 0 : PyTuple_GET_SIZE(kwnames);
  for (Py_ssize_t k = 0; k < nkw; ++k) {
    PyObject* key = PyTuple_GET_ITEM(kwnames, k);
    Py_ssize_t key_size = 0;
    const char* key_text = PyUnicode_AsUTF8AndSize(key, &key_size);
    if (key_text == nullptr) throw PythonErrorSet{};
    const std::string_view key_view(key_text, static_cast<size_t>(key_size));
    size_t slot = count;
    for (size_t p = 0; p < count; ++p) {
      if (signature.params[p] == key_view) slot = p;
    }
    if (slot == count) {
      PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%U'", row.name, key);
      throw PythonErrorSet{};
    }
    if (bound[slot] != nullptr) {
      PyErr_Format(PyExc_TypeError, "argument for %s() given by name ('%U') and position (%zu)", row.name, key,
                   slot + 1);
      throw PythonErrorSet{};
    }
    bound[slot] = args[nargs + k];
  }
  for (size_t p = 0; p < signature.required; ++p) {
    if (bound[p] == nullptr) {
      PyErr_Format(PyExc_TypeError, "%s() missing required argument '%s' (pos %zu)", row.name,
                   signature.params[p].c_str(), p + 1);
      throw PythonErrorSet{};
    }
  }
  return bound;
}

// Cell kinds of the workbook update: a number, a string, or clear.
bool is_workbook_cell_kind(std::string_view kind) { return kind == "n" || kind == "s" || kind == "e"; }

void parse_json_arguments(const Signature& signature, std::vector<Value>& values) {
  for (size_t p = 0; p < values.size(); ++p) {
    const std::string& param = signature.params[p];
    if (!param.ends_with("_json")) continue;
    try {
      values[p] = json::parse_json_argument(param, std::get<std::string>(values[p]));
    } catch (const json::JsonArgumentError& error) {
      set_runtime_error(error.what());
      throw PythonErrorSet{};
    }
    if (const auto* cells = std::get_if<json::WorkbookCellTriples>(&std::get<json::JsonArgument>(values[p]))) {
      for (const auto& cell : *cells) {
        if (!is_workbook_cell_kind(cell[1])) {
          set_runtime_error("unsupported workbook cell kind: " + cell[1]);
          throw PythonErrorSet{};
        }
      }
    }
  }
}

PyObject* to_python(const Outcome& outcome) {
  if (outcome.is_bytes) {
    return PyBytes_FromStringAndSize(outcome.data.data(), static_cast<Py_ssize_t>(outcome.data.size()));
  }
  return PyUnicode_FromStringAndSize(outcome.data.data(), static_cast<Py_ssize_t>(outcome.data.size()));
}

}  // namespace

PyObject* call_function(const FunctionRow& row, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  try {
    const Signature& signature = signature_of(row);
    const std::vector<PyObject*> bound = bind(row, signature, args, nargs, kwnames);
    std::vector<Value> values;
    values.reserve(bound.size());
    for (size_t p = 0; p < bound.size(); ++p) {
      values.push_back(bound[p] == nullptr ? Value(std::monostate{}) : convert(row, signature.params[p], bound[p]));
    }
    for (size_t p = 0; p < values.size(); ++p) {
      // An omitted parameter with a default (None) reads as absent.
      if (std::holds_alternative<std::monostate>(values[p])) values[p] = convert(row, signature.params[p], Py_None);
    }
    parse_json_arguments(signature, values);
    if (row.run == nullptr) {
      PyErr_Format(PyExc_RuntimeError, "%s is not available yet: its core operation is not built in this release",
                   row.name);
      return nullptr;
    }
    // The interpreter lock stays held: calls from several threads run one
    // after another, and no Python object is touched while the core runs.
    return to_python(row.run(Args(std::move(values))));
  } catch (const PythonErrorSet&) {
    return nullptr;
  } catch (const VelmoraError& error) {
    set_runtime_error(std::string(error_prefix(error.kind())) + error.detail());
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const std::exception& error) {
    set_runtime_error(error.what());
  }
  return nullptr;
}

PyMethodDef method_def(const FunctionRow& row, PyCFunction entry) {
  // "name(params)\n--\n\n" makes the text signature that inspect reads.
  static std::deque<std::string> docs;
  std::string& doc = docs.emplace_back(std::string(row.name) + "(" + row.params + ")\n--\n\n");
  if (row.doc != nullptr) doc += row.doc;
  return {row.name, entry, METH_FASTCALL | METH_KEYWORDS, doc.c_str()};
}

}  // namespace velmora::native
