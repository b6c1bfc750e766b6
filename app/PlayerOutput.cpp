#include "app/PlayerOutput.h"

#include "app/TextTools.h"
#include "app/check/Check.h"

void PlayerOutput::Begin(bool repeat) {
    reports_.push_back({static_cast<std::size_t>(text_.tellp()), repeat, ""});
}

void PlayerOutput::Note(const std::string& line) {
    Out() << "\n" << line << "\n";
    if (!reports_.empty()) reports_.back().note = line;
}

int PlayerOutput::Show(int status) {
    if (!console_.Width()) return status;
    std::string text = text_.str();
    if (console_.OwnWindow()) {
        std::string verdicts;
        bool repeat = reports_.size() > 1;
        for (const Report& report : reports_) {
            verdicts += text.substr(report.start, text.find('\n', report.start) - report.start) + "\n";
            if (!report.note.empty()) verdicts += "  " + report.note + "\n";
            repeat = repeat || report.repeat;
        }
        if (repeat) text += "\n" + verdicts;
        text = WithoutExitStatus(text);
    }
    // A line as wide as the window would end in an empty row: the console moves on by itself.
    std::cout << WrapLines(text, console_.Width() - 1) << std::flush;
    return status;
}
