#include "host/Param.h"

#include "common/NumberText.h"
#include "common/Utf8Text.h"

#include <algorithm>
#include <cmath>

namespace host {

static std::string Cut(const std::string& text) {
    return common::CutUtf8(text, Param::kTextCapacity - 1);
}

static int DecimalPlaces(double step) {
    int places = 0;
    double scaled = step;
    while (places < 6 && scaled != std::floor(scaled)) {
        scaled *= 10.0;
        ++places;
    }
    return places;
}

void Param::Init(const std::string& name, double defaultValue, double min, double max, double step,
                 double shape) {
    if (kind_ == ParamKind::Unset) kind_ = ParamKind::Double;
    name_ = Cut(name);
    label_.clear();
    value_ = defaultValue;
    default_ = defaultValue;
    min_ = min;
    step_ = step;
    max_ = std::max(max, min + step);
    precision_ = DecimalPlaces(step);
    if (shape != 0.0) shape_ = shape;
}

void Param::InitInt(const std::string& name, double defaultValue, double min, double max) {
    kind_ = ParamKind::Int;
    Init(name, defaultValue, min, max, 1.0, 1.0);
}

void Param::InitEnum(const std::string& name, int defaultValue,
                     const std::vector<std::string>& texts) {
    if (kind_ == ParamKind::Unset) kind_ = ParamKind::Enum;
    int count = static_cast<int>(texts.size());
    Init(name, defaultValue, 0.0, count - 1, 1.0, 1.0);
    for (int i = 0; i < count; ++i) AddDisplayText(i, texts[static_cast<std::size_t>(i)]);
}

void Param::AddDisplayText(int value, const std::string& text) {
    texts_.push_back(DisplayText{value, Cut(text)});
}

double Param::ClampedValue() const {
    return std::clamp(value_.Load(), min_, max_);
}

double Param::ToNormalized() const {
    return ToNormalized(value_.Load());
}

double Param::ToNormalized(double value) const {
    double v = std::clamp(value, min_, max_);
    return std::pow((v - min_) / (max_ - min_), 1.0 / shape_);
}

double Param::FromNormalized(double x) const {
    return std::pow(x, shape_) * (max_ - min_) + min_;
}

double Param::SteppedFromNormalized(double x) const {
    double value = FromNormalized(x);
    if (kind_ != ParamKind::Double) value = std::floor(value / step_ + 0.5) * step_;
    return std::min(value, max_);
}

double Param::SetFromNormalized(double x) {
    const double value = SteppedFromNormalized(x);
    value_ = value;
    return value;
}

void Param::SetClamped(double value) {
    value_ = std::clamp(value, min_, max_);
}

std::string Param::TextFor(int value) const {
    for (const DisplayText& entry : texts_) {
        if (entry.value == value) return entry.text;
    }
    return std::string();
}

bool Param::ValueOfText(const std::string& text, double& value) const {
    for (const DisplayText& entry : texts_) {
        if (entry.text == text) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

// Converts to int the way a C cast does, without undefined behaviour for values out of range.
static int TruncateToInt(double value) {
    if (!(value > -2147483648.0)) return value < 0 ? -2147483647 - 1 : 0;
    if (!(value < 2147483648.0)) return 2147483647;
    return static_cast<int>(value);
}

std::string Param::FormatDisplay(double value, bool normalized, bool withTexts) const {
    double v = normalized ? FromNormalized(value) : value;
    if (display_) return Cut(display_(v));
    if (withTexts && !texts_.empty()) {
        std::string text = TextFor(TruncateToInt(v));
        if (!text.empty()) return text;
    }
    if (precision_ > 0) return Cut(common::FormatFixed(v, precision_));
    return common::FormatInt(TruncateToInt(v));
}

std::string Param::DisplayLabel() const {
    if (!texts_.empty() && !TextFor(TruncateToInt(value_.Load())).empty()) return std::string();
    return label_;
}

} // namespace host
