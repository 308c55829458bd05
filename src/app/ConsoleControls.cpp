#include "app/ConsoleControls.h"

#include <algorithm>
#include <chrono>
#include <string_view>
#include <thread>
#include <utility>

#include "app/ProgressText.h"

namespace vx {

void ConsoleList::SetItems(const std::vector<std::string>& items) {
    items_ = items;
    selected_ = -1;
}

std::string ConsoleList::Item(int index) const {
    return items_.at(static_cast<std::size_t>(index));
}

std::string OneLine(const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') {
            line += text[i];
            continue;
        }
        const bool paragraph = i + 1 < text.size() && text[i + 1] == '\n';
        i += paragraph ? 1 : 0;
        const bool sentenceEnded =
            !line.empty() && std::string_view(".:!?").find(line.back()) != std::string_view::npos;
        if (sentenceEnded) {
            line += ' ';
        } else {
            line += paragraph ? ": " : "; ";
        }
    }
    return line;
}

void ConsoleBoxes::Show(const std::string& text, const std::string& title) {
    std::string line = title;
    line += ": ";
    line += OneLine(text);
    line += '\n';
    err_.Write(line);
}

bool ConsoleBoxes::AskRetry(const std::string& text, const std::string& title) {
    Show(text, title);
    return false;
}

ConsoleCopyWatcher::ConsoleCopyWatcher(Output& progress, bool showProgress,
                                       std::function<bool()> interrupted)
    : progress_(progress), showProgress_(showProgress), interrupted_(std::move(interrupted)) {}

void ConsoleCopyWatcher::Watch(CopyJob& job, const std::string& fileName) {
    const auto shownFrom = std::chrono::steady_clock::now() + kProgressWindowDelay;
    std::size_t shownWidth = 0;
    while (!job.Now().ended) {
        if (interrupted_()) {
            job.Cancel();
        }
        const CopyJob::State state = job.Now();
        if (showProgress_ && std::chrono::steady_clock::now() >= shownFrom) {
            // Appended piece by piece: GCC 12 takes "text" + a temporary for an overlapping copy.
            std::string line = " ";
            line += std::to_string(CopiedPermille(state.done, state.total) / 10);
            line += "%  ";
            line += CopiedOfTotal(state.done, state.total);
            line += "  ";
            line += fileName;
            const std::size_t width = line.size();
            line.append(shownWidth > width ? shownWidth - width : 0, ' ');
            line.insert(line.begin(), '\r');
            progress_.Write(line);
            shownWidth = std::max(shownWidth, width);
        }
        std::this_thread::sleep_for(kProgressPollInterval);
    }
    if (shownWidth > 0) {
        std::string blank(shownWidth + 2, ' ');
        blank.front() = '\r';
        blank.back() = '\r';
        progress_.Write(blank);
    }
}

}  // namespace vx
