// Printing in the headless backend: the page becomes a text file that the script names, one
// character cell per character width and line height, so that positions can be checked.

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/posix/ui_session.h"
#include "platform/ui_quote.h"

namespace platform::ui {

namespace {

constexpr int kCharWidth = 8;
constexpr int kCharHeight = 16;
constexpr int kColumns = 96;

}  // namespace

struct PrintJob::State {
    std::string path;
    std::map<int, std::string> rows;
};

PrintJob::Start PrintJob::Begin(Window, std::string_view documentName) {
    CurrentSession();
    End();
    const ScriptEvent* event = PeekEvent();
    if (event == nullptr || event->kind != ScriptEventKind::Print ||
        event->print == PrintAnswer::Cancel) {
        if (event != nullptr && event->kind == ScriptEventKind::Print) {
            ConsumeEvent();
        }
        Record("print cancel");
        return Start::Cancelled;
    }
    ConsumeEvent();
    if (event->print == PrintAnswer::Fail) {
        Record("print failed");
        return Start::Failed;
    }
    state_ = new State{event->text, {}};
    Record("print begin " + QuoteText(documentName) + " -> " + QuoteText(event->text));
    return Start::Printing;
}

PrintMetrics PrintJob::Metrics() const {
    return PrintMetrics{kCharWidth, kCharHeight, kCharWidth * kColumns};
}

void PrintJob::Text(int x, int y, std::string_view text) {
    if (state_ == nullptr) {
        return;
    }
    Record("print " + QuoteText(text));
    const int column = std::max(0, x) / kCharWidth;
    std::string& row = state_->rows[std::max(0, y) / kCharHeight];
    if (row.size() < column + text.size()) {
        row.resize(column + text.size(), ' ');
    }
    row.replace(column, text.size(), text);
}

void PrintJob::End() {
    if (state_ == nullptr) {
        return;
    }
    FILE* file = std::fopen(state_->path.c_str(), "w");
    if (file == nullptr) {
        RecordError("cannot write the printed page to " + QuoteText(state_->path));
    } else {
        int next = 0;
        for (const auto& [row, text] : state_->rows) {
            for (; next < row; ++next) {
                std::fputc('\n', file);
            }
            std::string line = text;
            line.erase(line.find_last_not_of(' ') + 1);
            std::fputs(line.c_str(), file);
            std::fputc('\n', file);
            next = row + 1;
        }
        std::fclose(file);
    }
    Record("print end");
    delete state_;
    state_ = nullptr;
}

PrintJob::~PrintJob() {
    End();
}

}  // namespace platform::ui
