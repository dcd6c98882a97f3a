#include "window/x11/X11DialogMessageBox.h"

#include <X11/keysym.h>

#include <algorithm>
#include <vector>

#include "graphics/TextRenderer.h"
#include "window/x11/X11DialogModal.h"

namespace platform::x11 {

namespace {

constexpr int kMargin = 20;
constexpr int kMaxTextWidth = 460;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 10;

// The text's lines, each paragraph wrapped at spaces to fit the width.
std::vector<std::string> WrapText(const std::string& text, int width) {
    std::vector<std::string> lines;
    const graphics::TextStyle style = look::Text();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string paragraph = text.substr(start, end - start);
        start = end + 1;
        std::string line;
        std::size_t pos = 0;
        while (pos <= paragraph.size()) {
            std::size_t space = paragraph.find(' ', pos);
            if (space == std::string::npos) space = paragraph.size();
            std::string word = paragraph.substr(pos, space - pos);
            pos = space + 1;
            std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && graphics::TextWidth(candidate, style) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

class MessageBoxDialog : public DrawnDialog {
public:
    MessageBoxDialog(MessageKind kind, const std::string& text) : kind_(kind) {
        lines_ = WrapText(text, kMaxTextWidth);
        int textWidth = 0;
        for (const std::string& line : lines_) {
            textWidth = std::max(textWidth, graphics::TextWidth(line, look::Text()));
        }
        labels_ = kind == MessageKind::Question ? std::vector<std::string>{"Yes", "No"}
                                                : std::vector<std::string>{"OK"};
        answers_ = kind == MessageKind::Question
                       ? std::vector<MessageAnswer>{MessageAnswer::Yes, MessageAnswer::No}
                       : std::vector<MessageAnswer>{MessageAnswer::Ok};
        int buttons = static_cast<int>(labels_.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
        width_ = std::max({textWidth, buttons, 220}) + 2 * kMargin;
        height_ = kMargin + static_cast<int>(lines_.size()) * look::kLineHeight + kMargin +
                  kButtonHeight + kMargin;
    }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    MessageAnswer Answer() const { return answer_; }

    void Paint(graphics::Surface& surface) override {
        int y = kMargin;
        for (const std::string& line : lines_) {
            graphics::DrawText(surface,
                               graphics::Rect(kMargin, y, width_ - kMargin, y + look::kLineHeight),
                               line, look::Text());
            y += look::kLineHeight;
        }
        for (std::size_t i = 0; i < labels_.size(); ++i) {
            look::Button(surface, ButtonRect(i), labels_[i], static_cast<int>(i) == focus_);
        }
    }

    void Press(int x, int y, bool) override {
        for (std::size_t i = 0; i < labels_.size(); ++i) {
            if (ButtonRect(i).Contains(x, y)) Answer(answers_[i]);
        }
    }

    void Key(unsigned long sym, const std::string& text) override {
        const int count = static_cast<int>(labels_.size());
        if (sym == XK_Return || sym == XK_KP_Enter || sym == XK_space) {
            Answer(answers_[static_cast<std::size_t>(focus_)]);
        } else if (sym == XK_Escape) {
            CloseRequest();
        } else if (sym == XK_Tab || sym == XK_Right || sym == XK_Left || sym == XK_ISO_Left_Tab) {
            focus_ = (focus_ + (sym == XK_Left || sym == XK_ISO_Left_Tab ? count - 1 : 1)) % count;
        } else if (kind_ == MessageKind::Question && (text == "y" || text == "Y")) {
            Answer(MessageAnswer::Yes);
        } else if (kind_ == MessageKind::Question && (text == "n" || text == "N")) {
            Answer(MessageAnswer::No);
        }
    }

    void CloseRequest() override { Answer(answers_.back()); }

private:
    graphics::Rect ButtonRect(std::size_t index) const {
        int count = static_cast<int>(labels_.size());
        int left = width_ - kMargin - count * (kButtonWidth + kButtonGap) + kButtonGap +
                   static_cast<int>(index) * (kButtonWidth + kButtonGap);
        int top = height_ - kMargin - kButtonHeight;
        return graphics::Rect(left, top, left + kButtonWidth, top + kButtonHeight);
    }
    void Answer(MessageAnswer answer) {
        answer_ = answer;
        Finish();
    }

    MessageKind kind_;
    std::vector<std::string> lines_;
    std::vector<std::string> labels_;
    std::vector<MessageAnswer> answers_;
    int width_ = 0;
    int height_ = 0;
    int focus_ = 0;
    MessageAnswer answer_ = MessageAnswer::Ok;
};

} // namespace

bool ShowDrawnMessageBox(Display* display, Window owner, MessageKind kind, const std::string& text,
                         const std::string& caption, const WaitingEditor& editor,
                         MessageAnswer& answer) {
    MessageBoxDialog dialog(kind, text);
    if (!RunDrawnDialog(display, owner, caption, dialog, editor)) return false;
    answer = dialog.Answer();
    return true;
}

} // namespace platform::x11
