#include "framework/StdCtrlsMemo.h"

#include <vector>

#include "framework/ClassesBuilder.h"
#include "framework/ResStrings.h"
#include "framework/SysUtilsConvert.h"
#include "framework/SysUtilsExceptions.h"

namespace fw {

namespace {

constexpr int kDefaultWidth = 185;
constexpr int kDefaultHeight = 89;
constexpr const char* kLineBreak = "\r\n";

// The memo's lines, read from and written to its text: lines are separated by CR LF (a
// lone CR or LF counts as one too); a break at the very end starts no further line.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo& memo) : memo_(memo) {}

    int Count() const override { return static_cast<int>(Split().size()); }
    std::string Get(int index) const override
    {
        const std::vector<std::string> lines = Split();
        Check(index, static_cast<int>(lines.size()) - 1);
        return lines[static_cast<std::size_t>(index)];
    }
    void Put(int index, const std::string& text) override
    {
        std::vector<std::string> lines = Split();
        Check(index, static_cast<int>(lines.size()) - 1);
        lines[static_cast<std::size_t>(index)] = text;
        Join(lines);
    }
    void Insert(int index, const std::string& text) override
    {
        std::vector<std::string> lines = Split();
        Check(index, static_cast<int>(lines.size()));
        lines.insert(lines.begin() + index, text);
        Join(lines);
    }
    void Delete(int index) override
    {
        std::vector<std::string> lines = Split();
        Check(index, static_cast<int>(lines.size()) - 1);
        lines.erase(lines.begin() + index);
        Join(lines);
    }
    void Clear() override { memo_.SetText(""); }

private:
    static void Check(int index, int last)
    {
        if (index < 0 || index > last) {
            throw EListError(FormatMessage1(SListIndexError, IntegerToText(index)));
        }
    }

    std::vector<std::string> Split() const
    {
        const std::string text = memo_.GetText();
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find_first_of("\r\n", start);
            if (end == std::string::npos) {
                lines.push_back(text.substr(start));
                break;
            }
            lines.push_back(text.substr(start, end - start));
            if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
                ++end;
            }
            start = end + 1;
        }
        return lines;
    }

    void Join(const std::vector<std::string>& lines)
    {
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) {
                text += kLineBreak;
            }
            text += lines[i];
        }
        memo_.SetText(text);
    }

    TCustomMemo& memo_;
};

desktop::DWORD AlignmentStyle(TAlignment alignment)
{
    switch (alignment) {
        case TAlignment::taRightJustify: return desktop::ES_RIGHT;
        case TAlignment::taCenter: return desktop::ES_CENTER;
        case TAlignment::taLeftJustify: break;
    }
    return desktop::ES_LEFT;
}

}  // namespace

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(*this))
{
    SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
    TCustomEdit::SetAutoSize(false);
}

TCustomMemo::~TCustomMemo() = default;

const TClassInfo& TCustomMemo::Info()
{
    static const TClassInfo info = ClassBuilder<TCustomMemo, TCustomEdit>("TCustomMemo").Build();
    return info;
}

const TClassInfo& TMemo::Info()
{
    static const TClassInfo info =
        ClassBuilder<TMemo, TCustomMemo>("TMemo")
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &TMemo::Alignment, &TMemo::SetAlignment)
            .Boolean("AutoSize", &TMemo::AutoSize, &TMemo::SetAutoSize)
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &TMemo::BorderStyle, &TMemo::SetBorderStyle)
            .Enum("CharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}, &TMemo::CharCase, &TMemo::SetCharCase)
            .Boolean("Ctl3D", &TMemo::Ctl3D, &TMemo::SetCtl3D)
            .Boolean("HideSelection", &TMemo::HideSelection, &TMemo::SetHideSelection)
            .Object("Lines", &TMemo::Lines)
            .Integer("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength)
            .Boolean("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly)
            .Enum("ScrollBars", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}, &TMemo::ScrollBars,
                  &TMemo::SetScrollBars)
            .Boolean("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns)
            .Boolean("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs)
            .Boolean("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap)
            .Event("OnChange", [](TMemo* m, TNotifyEvent handler) { m->OnChange = std::move(handler); })
            .Build();
    return info;
}

void TCustomMemo::SetAlignment(TAlignment value)
{
    if (alignment_ != value) {
        alignment_ = value;
        RecreateWnd();
    }
}

void TCustomMemo::SetScrollBars(TScrollStyle value)
{
    if (scrollBars_ != value) {
        scrollBars_ = value;
        RecreateWnd();
    }
}

void TCustomMemo::SetWantReturns(bool value)
{
    if (wantReturns_ != value) {
        wantReturns_ = value;
        RecreateWnd();
    }
}

void TCustomMemo::SetWordWrap(bool value)
{
    if (wordWrap_ != value) {
        wordWrap_ = value;
        RecreateWnd();
    }
}

void TCustomMemo::CreateParams(TCreateParams& params)
{
    TCustomEdit::CreateParams(params);
    params.Style |= desktop::ES_MULTILINE | AlignmentStyle(alignment_);
    if (wordWrap_) {
        params.Style &= ~static_cast<desktop::DWORD>(desktop::ES_AUTOHSCROLL);
    }
    if (wantReturns_) {
        params.Style |= desktop::ES_WANTRETURN;
    }
    if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) {
        params.Style |= desktop::WS_HSCROLL;
    }
    if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) {
        params.Style |= desktop::WS_VSCROLL;
    }
}

void TCustomMemo::WMGetDlgCode(TWMNoParams message)
{
    TCustomEdit::WMGetDlgCode(message);
    desktop::LRESULT code = message.Result();
    if (wantTabs_) {
        code |= desktop::DLGC_WANTTAB;
    } else {
        code &= ~static_cast<desktop::LRESULT>(desktop::DLGC_WANTTAB);
    }
    if (!wantReturns_) {
        code &= ~static_cast<desktop::LRESULT>(desktop::DLGC_WANTALLKEYS);
    }
    message.SetResult(code);
}

void TCustomMemo::KeyPress(char& key)
{
    TCustomEdit::KeyPress(key);
    if (key == '\r' && !wantReturns_) {
        key = '\0';
    }
}

}  // namespace fw
