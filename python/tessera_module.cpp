// The Python module tessera: handwriting recognition through the recognition service,
// which the module loads by name (opening the recognizer and its dictionaries) and keeps
// loaded for as long as a Recognizer uses it.
#include "tools/recognize/ink_input.h"
#include "tools/recognize/service_client.h"

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace py = pybind11;

namespace {

using recognize::InkPoint;
using recognize::InkStroke;

// The service keeps process-wide state and takes no locks: every Recognizer of every
// thread takes its turn here, with the interpreter's lock released meanwhile.
std::mutex& ServiceTurn() {
    static std::mutex turn;
    return turn;
}

constexpr int kMaxCandidates = 1000;

[[noreturn]] void BadInput(const std::string& what) {
    throw py::value_error(what);
}

// Any real number: int, float, or a number type of another library (NumPy's, say).
double Number(py::handle value, const std::string& at) {
    if (!PyNumber_Check(value.ptr()) || PyUnicode_Check(value.ptr()))
        BadInput(at + ": a coordinate must be a number");
    const double v = PyFloat_AsDouble(value.ptr());
    if (v == -1.0 && PyErr_Occurred()) {
        PyErr_Clear();
        BadInput(at + ": a coordinate must be a real number within range");
    }
    return v;
}

bool IsSequence(py::handle value) {
    return PySequence_Check(value.ptr()) && !PyUnicode_Check(value.ptr()) &&
           !PyBytes_Check(value.ptr());
}

// strokes: a sequence of strokes in writing order, each a sequence of (x, y) points in
// pixels, y downwards; coordinates are rounded and must fit 16 bits.
std::vector<InkStroke> ReadStrokes(py::handle strokes) {
    if (!IsSequence(strokes)) BadInput("strokes must be a list of strokes");
    const auto list = py::reinterpret_borrow<py::sequence>(strokes);
    if (list.size() == 0) BadInput("strokes is empty");
    if (list.size() > recognize::kMaxStrokes)
        BadInput("more than " + std::to_string(recognize::kMaxStrokes) + " strokes");
    std::vector<InkStroke> out;
    size_t total = 0;
    for (size_t s = 0; s < list.size(); ++s) {
        const std::string where = "stroke " + std::to_string(s + 1);
        py::object stroke = list[s];
        if (!IsSequence(stroke)) BadInput(where + " is not a list of (x, y) points");
        const auto points = py::reinterpret_borrow<py::sequence>(stroke);
        if (points.size() == 0) BadInput(where + " has no points");
        total += points.size();
        if (total > recognize::kMaxPoints)
            BadInput("more than " + std::to_string(recognize::kMaxPoints) + " points");
        InkStroke ink;
        ink.reserve(points.size());
        for (size_t p = 0; p < points.size(); ++p) {
            const std::string at = where + ", point " + std::to_string(p + 1);
            py::object point = points[p];
            if (!IsSequence(point) || py::len(point) != 2) BadInput(at + " is not an (x, y) pair");
            const auto xy = py::reinterpret_borrow<py::sequence>(point);
            InkPoint ip{};
            if (!recognize::InkCoordinate(Number(xy[0], at), ip.x) ||
                !recognize::InkCoordinate(Number(xy[1], at), ip.y))
                BadInput(at + " needs coordinates from -32768 to 32767 (rounded to integers)");
            ink.push_back(ip);
        }
        out.push_back(std::move(ink));
    }
    return out;
}

int ReadCount(int n) {
    if (n < 1 || n > kMaxCandidates) BadInput("n must lie in 1.." + std::to_string(kMaxCandidates));
    return n;
}

// box: None (the ink's own bounding box) or (width, height) of the writing box.
std::optional<recognize::GuideBox> ReadBox(py::handle box) {
    if (box.is_none()) return std::nullopt;
    if (!IsSequence(box) || py::len(box) != 2) BadInput("box must be (width, height) or None");
    const auto wh = py::reinterpret_borrow<py::sequence>(box);
    int32_t side[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        py::object v = wh[static_cast<size_t>(i)];
        if (!PyIndex_Check(v.ptr())) BadInput("box must hold two ints");
        const Py_ssize_t value = PyNumber_AsSsize_t(v.ptr(), nullptr);
        if (value == -1 && PyErr_Occurred()) PyErr_Clear();
        if (value < 1 || value > 32767) BadInput("box sides must lie in 1..32767");
        side[i] = static_cast<int32_t>(value);
    }
    return recognize::GuideBox{side[0], side[1]};
}

py::list CandidateList(const std::vector<recognize::Candidate>& candidates) {
    py::list out;
    for (const recognize::Candidate& c : candidates) out.append(py::make_tuple(c.text, c.score));
    return out;
}

class Recognizer {
public:
    Recognizer() {
        std::string error;
        {
            py::gil_scoped_release unlocked;
            std::lock_guard<std::mutex> turn(ServiceTurn());
            service_ = recognize::ServiceClient::Load(error);
            if (service_) service_->SetCategory(511);
        }
        if (!service_) {
            // The service's own folder, not this module's, is where it looks.
            const char* dir = std::getenv("TESSERA_SYSTEM_DIR");
            error = "the recognition service (libveltarec.so) did not open: VELTAREC.INI, the "
                    "recognizer it names or a dictionary is missing or unreadable in " +
                    (dir && *dir ? std::string(dir)
                                 : std::string("share/tessera beside libveltarec.so"));
            PyErr_SetString(PyExc_OSError, error.c_str());
            throw py::error_already_set();
        }
    }

    py::list Recognize(py::handle strokes, int n, py::handle box) {
        const std::vector<InkStroke> ink = ReadStrokes(strokes);
        const int count = ReadCount(n);
        const std::optional<recognize::GuideBox> guide = ReadBox(box);
        std::vector<recognize::Candidate> found;
        Run([&](recognize::ServiceClient& service) {
            found = service.RecognizeCharacter(ink, count, guide);
        });
        return CandidateList(found);
    }

    py::dict RecognizeLine(py::handle strokes, int n, py::handle box) {
        const std::vector<InkStroke> ink = ReadStrokes(strokes);
        const int count = ReadCount(n);
        const recognize::LineOptions options{ReadBox(box), true};
        recognize::LineResult result;
        std::string error;
        bool ok = false;
        Run([&](recognize::ServiceClient& service) {
            ok = service.RecognizeLine(ink, count, options, result, error);
        });
        if (!ok) throw std::runtime_error(error);
        py::list strings, chars;
        for (const recognize::Candidate& s : result.strings) strings.append(s.text);
        for (const recognize::LineChar& c : result.chars) {
            py::dict ch;
            ch["text"] = c.text;
            ch["first"] = c.first;
            ch["last"] = c.last;
            ch["candidates"] = CandidateList(c.candidates);
            chars.append(ch);
        }
        py::dict out;
        out["strings"] = strings;
        out["chars"] = chars;
        return out;
    }

    // Unloads the service (closing its dictionaries when no other Recognizer holds it).
    void Close() {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> turn(ServiceTurn());
        service_.reset();
    }

    ~Recognizer() {
        std::lock_guard<std::mutex> turn(ServiceTurn());
        service_.reset();
    }

private:
    // Runs work on the service with the interpreter's lock released, in the service's
    // turn; whether the Recognizer is still open is asked in that turn, so that a close
    // from another thread cannot pull the service from under the work.
    template <typename Work> void Run(Work work) {
        bool open = false;
        {
            py::gil_scoped_release unlocked;
            std::lock_guard<std::mutex> turn(ServiceTurn());
            open = service_ != nullptr;
            if (open) work(*service_);
        }
        if (!open) BadInput("the Recognizer is closed");
    }

    std::unique_ptr<recognize::ServiceClient> service_;
};

// The module functions' Recognizer, made on first use and kept for the process's life
// (never unloaded while the process exits, when the service's own state may be gone).
// Set under the interpreter's lock, which the loading itself releases: of two threads
// that load at once, the second one's Recognizer is let go again.
Recognizer& Default() {
    static Recognizer* recognizer = nullptr;
    if (!recognizer) {
        auto loaded = std::make_unique<Recognizer>();
        if (!recognizer) recognizer = loaded.release();
    }
    return *recognizer;
}

const char* const kStrokesDoc =
    R"(strokes: the strokes in writing order, each a list of (x, y) points (ints or
floats, in pixels, y downwards; rounded, each from -32768 to 32767).
box: None for the ink's own bounding box, or (width, height) of the writing box
(0, 0)-(width, height).)";

} // namespace

PYBIND11_MODULE(tessera, m) {
    m.doc() = "Handwriting recognition of Japanese characters with the Tessera recognizer.\n\n"
              "The recognizer and its dictionaries are loaded once and kept: by a Recognizer,\n"
              "or by the module functions on their first call. Bad input raises ValueError,\n"
              "a recognizer that does not load (VELTAREC.INI or a dictionary missing) OSError.";

    py::class_<Recognizer>(m, "Recognizer",
                           "The recognition service with its dictionaries loaded.\n\n"
                           "Raises OSError when the service, its configuration or a dictionary "
                           "does not load.")
        .def(py::init<>())
        .def("recognize", &Recognizer::Recognize, py::arg("strokes"), py::arg("n") = 10,
             py::arg("box") = py::none(),
             (std::string("recognize(strokes, n=10, box=None) -> [(char, score), ...]\n\n"
                          "One character: up to n candidates, best first.\n") +
              kStrokesDoc)
                 .c_str())
        .def("recognize_line", &Recognizer::RecognizeLine, py::arg("strokes"), py::arg("n") = 5,
             py::arg("box") = py::none(),
             (std::string(
                  "recognize_line(strokes, n=5, box=None) -> {'strings': [...], 'chars': [...]}\n\n"
                  "A line of characters: up to n result strings, best first (the one corrected\n"
                  "with character-pair statistics first), and the characters of the best one,\n"
                  "each {'text', 'first', 'last' (its strokes, numbered from 0), 'candidates'\n"
                  "(up to n (char, score) pairs, the string's own first)}.\n") +
              kStrokesDoc)
                 .c_str())
        .def("close", &Recognizer::Close, "Unloads the recognizer; later calls raise ValueError.")
        .def("__enter__", [](py::object self) { return self; })
        .def("__exit__", [](Recognizer& r, py::args) {
            r.Close();
            return false;
        });

    m.def(
        "recognize",
        [](py::handle strokes, int n, py::handle box) {
            return Default().Recognize(strokes, n, box);
        },
        py::arg("strokes"), py::arg("n") = 10, py::arg("box") = py::none(),
        "recognize(strokes, n=10, box=None): Recognizer.recognize on the module's recognizer.");
    m.def(
        "recognize_line",
        [](py::handle strokes, int n, py::handle box) {
            return Default().RecognizeLine(strokes, n, box);
        },
        py::arg("strokes"), py::arg("n") = 5, py::arg("box") = py::none(),
        "recognize_line(strokes, n=5, box=None): Recognizer.recognize_line on the module's "
        "recognizer.");
}
