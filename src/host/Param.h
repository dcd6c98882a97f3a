#pragma once
// One automatable parameter: its value in parameter units, range, quantisation, normalisation
// curve and display rules. Values cross the host, editor and controller boundaries normalised to
// 0..1; everything else uses parameter units.

#include "common/Relaxed.h"

#include <string>
#include <vector>

namespace host {

enum class ParamKind : int { Unset = 0, Int = 2, Enum = 3, Double = 4 };

// Writes the display text of a value (in parameter units).
using DisplayFunction = std::string (*)(double value);

struct DisplayText {
    int value;
    std::string text;
};

class Param {
public:
    static constexpr std::size_t kTextCapacity =
        32; // name, label and display texts, with terminator

    // Sets kind (Double when still unset), name, value and default, range, step, precision and
    // shape (kept when 0 is given). The maximum is at least min + step.
    void Init(const std::string& name, double defaultValue, double min, double max, double step,
              double shape = 1.0);
    void InitInt(const std::string& name, double defaultValue, double min, double max);
    void InitEnum(const std::string& name, int defaultValue, const std::vector<std::string>& texts);

    // Normalised value of the current value: ((v - min) / (max - min))^(1/shape), v clamped.
    double ToNormalized() const;
    double ToNormalized(double value) const;
    // Sets the value from x in 0..1; stepped kinds round to the step. Returns the new value.
    double SetFromNormalized(double x);
    // Plain value of a normalised one, without step rounding.
    double FromNormalized(double x) const;
    // The value SetFromNormalized would set, without setting it.
    double SteppedFromNormalized(double x) const;
    // Sets the value in parameter units, clamped to the range (no step rounding).
    void SetClamped(double value);

    std::string FormatDisplay(double value, bool normalized, bool withTexts) const;
    std::string DisplayLabel() const;
    // The display text whose value equals value, else an empty text.
    std::string TextFor(int value) const;
    // The value of the display text equal to text (case-sensitive); false when none matches.
    bool ValueOfText(const std::string& text, double& value) const;

    ParamKind Kind() const { return kind_; }
    void SetKind(ParamKind kind) { kind_ = kind; }
    double Value() const { return value_; }
    // The value clamped to the range, as the engine reads it.
    double ClampedValue() const;
    double Min() const { return min_; }
    double Max() const { return max_; }
    double Step() const { return step_; }
    double Shape() const { return shape_; }
    double Default() const { return default_; }
    int DisplayPrecision() const { return precision_; }
    const std::string& Name() const { return name_; }
    const std::string& Label() const { return label_; }
    const std::vector<DisplayText>& DisplayTexts() const { return texts_; }
    bool HasDisplayTexts() const { return !texts_.empty(); }
    void SetDisplayFunction(DisplayFunction function) { display_ = function; }
    void AddDisplayText(int value, const std::string& text);

private:
    DisplayFunction display_ = nullptr;
    ParamKind kind_ = ParamKind::Unset;
    // Written by whichever thread sets the parameter, read without a lock by the host's
    // getParameter and the editor.
    common::Relaxed<double> value_{0.0};
    double min_ = 0.0;
    double max_ = 1.0;
    double step_ = 1.0;
    double shape_ = 1.0;
    double default_ = 0.0;
    int precision_ = 0;
    std::string name_;
    std::string label_;
    std::vector<DisplayText> texts_;
};

} // namespace host
