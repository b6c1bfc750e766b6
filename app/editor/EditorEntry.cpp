// The config editor's entry into the game's own code, compiled to WebAssembly: the check's report on a file's
// bytes, the key rows the form is made from, and the game's names its name fields offer.
#include <emscripten.h>
#include <json/json.h>

#include <string>

#include "app/editor/EditorData.h"
#include "config/CheckReport.h"
#include "config/Words.h"

namespace {

std::string answer;  // the last answer, alive until the next call: the page copies it out at once

const char* Answer(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

}  // namespace

extern "C" {

// The report "skirmora-sim check -" prints for these bytes, made fit for a terminal as it does; status
// receives its exit status.
EMSCRIPTEN_KEEPALIVE const char* SkirmoraCheck(const char* bytes, int size, int* status) {
    const std::string text(bytes, static_cast<std::size_t>(size));
    return Answer(Printable(CheckReport("standard input", text, *status)));
}

// The key rows and the game's names, as one JSON object (app/editor/EditorData.h).
EMSCRIPTEN_KEEPALIVE const char* SkirmoraData() {
    return Answer(Json::writeString(Json::StreamWriterBuilder(), EditorData()));
}

}  // extern "C"
