#pragma once
// The base of every editor control: a value 0..1, the parameter index it edits (or a negative id
// naming an editor action), draw and target rectangles, hidden and grayed flags, a text style,
// a tooltip, a blend and dirty marking. Marking a control dirty with reporting hands its value to
// the plug-in (SetParamFromEditor); controls with negative ids report nothing.

#include "graphics/Color.h"
#include "graphics/Geometry.h"
#include "graphics/InputTypes.h"
#include "graphics/Surface.h"
#include "graphics/TextStyle.h"

#include <string>
#include <vector>

namespace graphics {

class Graphics;

class Control {
public:
    Control(Graphics& graphics, const Rect& rect, int paramIndex = -1);

    // Virtual operations, in slot order.
    virtual ~Control() = default;
    // Right button: opens the value prompt (nothing while prompts are disabled).
    virtual void MouseDown(int x, int y, const Modifiers& mods);
    virtual void MouseUp(int, int, const Modifiers&) {}
    virtual void Drag(int, int, int, int, const Modifiers&) {}
    // Back to the default value, reported, when the control has one.
    virtual void DoubleClick(int x, int y, const Modifiers& mods);
    virtual void Wheel(int, int, const Modifiers&, double) {}
    virtual bool KeyDown(int, int, int) { return false; }
    virtual void MouseOver(int, int, const Modifiers&) {}
    virtual void MouseOut() {}
    virtual bool Draw(Surface&) { return true; }
    // Stores the value (the first one also as the default); a change redraws, unreported.
    virtual void SetValueFromPlugin(double value);
    // Stores a changed value and redraws, unreported.
    virtual void SetValueFromUserInput(double value);
    virtual void TextFromTextEntry(const std::string&) {}
    virtual void Hide(bool hide);
    virtual void GrayOut(bool gray);
    virtual bool IsHit(int x, int y) { return targetRect_.Contains(x, y); }
    // Limits the value to 0..1, marks the control for redraw and, with report, hands the value
    // to the plug-in when the control edits a parameter.
    virtual void SetDirty(bool report = true);
    virtual void SetClean() { dirty_ = false; }
    virtual bool IsDirty() { return dirty_; }
    virtual void Idle() {}
    virtual void SetAuxParamValueFromPlugin(int, double) {}

    // The value prompt: a menu of the parameter's display texts, or a text entry for parameters
    // without texts. The chosen value is set as user input and reported.
    void PromptUserInput();

    Graphics& GetGraphics() { return graphics_; }
    int ParamIndex() const { return paramIndex_; }
    double Value() const { return value_; }
    double DefaultValue() const { return defaultValue_; }
    const Rect& DrawRect() const { return rect_; }
    const Rect& TargetRect() const { return targetRect_; }
    void SetTargetRect(const Rect& rect) { targetRect_ = rect; }
    bool IsHidden() const { return hidden_; }
    bool IsGrayed() const { return grayed_; }
    bool MouseOverWhenGrayed() const { return mouseOverWhenGrayed_; }
    void SetMouseOverWhenGrayed(bool on) { mouseOverWhenGrayed_ = on; }
    bool DoubleClickAsMouseDown() const { return doubleClickAsMouseDown_; }
    void SetDoubleClickAsMouseDown(bool on) { doubleClickAsMouseDown_ = on; }
    const TextStyle& Style() const { return style_; }
    void SetTextStyle(const TextStyle& style) { style_ = style; }
    // The style of a text entry opened over this control: the control's own unless another is
    // set (a field may show its text in one style and edit it in another).
    const TextStyle& EntryStyle() const { return hasEntryStyle_ ? entryStyle_ : style_; }
    void SetEntryStyle(const TextStyle& style) {
        entryStyle_ = style;
        hasEntryStyle_ = true;
    }
    const std::string& Tooltip() const { return tooltip_; }
    void SetTooltip(const std::string& text) { tooltip_ = text; }
    const Blend& GetBlend() const { return blend_; }
    void SetBlend(const Blend& blend) { blend_ = blend; }
    bool ValuePromptDisabled() const { return promptDisabled_; }
    void DisablePrompt(bool disable) { promptDisabled_ = disable; }
    // Further parameters whose values reach SetAuxParamValueFromPlugin.
    const std::vector<int>& AuxParams() const { return auxParams_; }
    void AddAuxParam(int paramIndex) { auxParams_.push_back(paramIndex); }

protected:
    Graphics& graphics_;
    int paramIndex_;
    double value_ = 0.0;
    double defaultValue_ = -1.0; // -1: none
    Rect rect_;
    Rect targetRect_;
    TextStyle style_;
    TextStyle entryStyle_;
    std::string tooltip_;
    Blend blend_;
    std::vector<int> auxParams_;
    bool dirty_ = true;
    bool hidden_ = false;
    bool grayed_ = false;
    bool mouseOverWhenGrayed_ = false;
    bool doubleClickAsMouseDown_ = false;
    bool promptDisabled_ = true;
    bool hasDefault_ = false;
    bool hasEntryStyle_ = false;
};

} // namespace graphics
