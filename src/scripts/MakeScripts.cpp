#include "scripts/MakeScripts.h"

#include "common/Convert.h"
#include "common/RunError.h"
#include "formats/ComponentsList.h"
#include "formats/MultiFiles.h"

#include <initializer_list>
#include <string_view>

namespace mw {

namespace {

// The script text, built line by line; every line ends with CR LF, the last one too.
class ScriptText {
public:
    void Line(std::initializer_list<std::string_view> parts = {}) {
        for (std::string_view part : parts)
            text_ += part;
        text_ += "\r\n";
    }
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
};

// A text on one line: every run of line ends, tabs and other control characters becomes one
// blank, so that a pasted or scripted name cannot end its line and start a line of its own.
std::string OneLine(std::string_view text) {
    std::string line;
    bool control = false;
    for (char c : text) {
        bool isControl = static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        if (!isControl)
            line += c;
        else if (!control)
            line += ' ';
        control = isControl;
    }
    return std::string(Trim(line));
}

// The name as the NAME= and DESCRIPTION= lines carry it: on one line, and without the brackets
// that open and close a section.
std::string ScriptName(std::string_view name) {
    std::string text = OneLine(name);
    for (char& c : text)
        if (c == '[' || c == ']') c = '_';
    return text;
}

bool IsDefNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The server takes a defname, and a section named by one, as letters, digits and underscores
// only: every other byte (a blank, a quote, each byte of a non-ASCII letter) becomes an underscore.
std::string DefNameOf(std::string name) {
    for (char& c : name)
        if (!IsDefNameCharacter(c)) c = '_';
    return name;
}

// The texts as the generators use them: on one line, and the values the formats derive from them.
struct Values {
    std::string Name, Buy, Sell;
    std::string HexId;   // the multi's item id in hexadecimal
    std::string DefName; // the name as a defname
    std::string MinX, MinY, MaxX, MaxY;
};

Values ValuesOf(const ScriptSource& source, const ScriptEntry& entry) {
    Values v;
    v.Name = ScriptName(entry.MultiName);
    v.Buy = OneLine(entry.BuyValue), v.Sell = OneLine(entry.SellValue);
    // HexText puts a "0" before the digits; the multi's id is printed without it.
    v.HexId = HexText(static_cast<std::uint32_t>(MultiItemId(source.PatchSlot))).substr(1);
    v.DefName = DefNameOf(v.Name);
    const ComponentBuffer& b = source.Buffer;
    v.MinX = std::to_string(b.MinX), v.MinY = std::to_string(b.MinY);
    v.MaxX = std::to_string(b.MaxX), v.MaxY = std::to_string(b.MaxY);
    return v;
}

bool IsListed(const ScriptSource& source, size_t i) {
    if (source.List.Empty()) return false;
    auto flag = ParseNumber(source.Buffer.Flag[i]);
    return flag && *flag == 0;
}

// "0" and the hexadecimal digits of the item id as the game files hold it (16 bits), so that an
// id stored as a negative number prints as the id it stands for.
std::string ComponentHexId(const ComponentBuffer& buffer, size_t i) {
    try {
        return HexText(ToItemId(buffer.ItemID[i]));
    } catch (const RunError& failure) {
        throw RunError(failure.Number,
                       "Component " + std::to_string(i + 1) + ", item id: " + failure.Description);
    }
}

// One COMPONENT line per listed component, in buffer order.
void ComponentLines(ScriptText& text, const ScriptSource& source, std::string_view separator,
                    std::string_view ending) {
    const ComponentBuffer& b = source.Buffer;
    for (size_t i = 0; i < static_cast<size_t>(b.ComponentCount); ++i) {
        if (!IsListed(source, i)) continue;
        text.Line({"COMPONENT=", ComponentHexId(b, i), separator, b.X[i], separator, b.Y[i],
                   separator, b.Z[i], ending});
    }
}

void Heading(ScriptText& text) {
    text.Line({"/////////////////////////////////////////////////////////"});
    text.Line({"// Multi Script - Change #### to available Item ID # "});
    text.Line({"in your sphereitems2.scp. Copy and paste script to your sphereitems2.scp."});
    text.Line();
}

void DeedComment(ScriptText& text) {
    text.Line({"// This is the script for the deed. Change [####] to next ID #"});
    text.Line({"// in your sphereitems2.scp."});
}

} // namespace

std::string MakeScripts51a(const ScriptSource& source, const ScriptEntry& entry) {
    Values v = ValuesOf(source, entry);
    ScriptText text;
    Heading(text);
    text.Line({"[", v.HexId, "]"});
    text.Line({"NAME=", v.Name});
    text.Line({"TYPE=47"});
    text.Line({"CATEGORY=MULTIS"});
    text.Line({"SUBSECTION=Custom Structures"});
    text.Line({"DESCRIPTION=", v.Name});
    text.Line({"MULTIREGION=", v.MinX, ", ", v.MinY, ", ", v.MaxX, ", ", v.MaxY});
    ComponentLines(text, source, ", ", "");
    text.Line();
    text.Line();
    DeedComment(text);
    text.Line({"[####]"});
    text.Line({"NAME=Deed to a ", v.Name});
    text.Line({"MORE=", v.HexId});
    text.Line({"ID=Vendor_Deed"});
    text.Line({"BUYVALUE=", v.Buy});
    text.Line({"SELLVALUE=", v.Sell});
    text.Line({"CATEGORY=Multis"});
    text.Line({"SUBSECTION=Custom Deeds"});
    text.Line({"DESCRIPTION=Deed to ", v.Name});
    return text.Take();
}

std::string MakeScripts55(const ScriptSource& source, const ScriptEntry& entry) {
    Values v = ValuesOf(source, entry);
    ScriptText text;
    Heading(text);
    text.Line({"[ITEMDEF 0", v.HexId, "]"});
    text.Line({"DEFNAME=i_", v.DefName});
    text.Line({"NAME=", v.Name});
    text.Line({"TYPE=T_MULTI"});
    text.Line({"VALUE=", v.Buy});
    text.Line({"MULTIREGION=", v.MinX, ",", v.MinY, ",", v.MaxX, ",", v.MaxY});
    ComponentLines(text, source, ",", ",0");
    text.Line({"CATEGORY=MULTIS"});
    text.Line({"SUBSECTION=Custom Structures"});
    text.Line({"DESCRIPTION=", v.Name});
    text.Line();
    DeedComment(text);
    text.Line();
    text.Line({"[ITEMDEF i_deed_", v.DefName, "]"});
    text.Line({"DEFNAME=i_deed_", v.DefName});
    text.Line({"NAME=Deed to a ", v.Name});
    text.Line({"ID=i_Deed"});
    text.Line({"RESOURCES=i_deed, ", "i_", v.DefName});
    text.Line();
    text.Line({"ON=@Create"});
    text.Line({"MORE=i_", v.DefName});
    text.Line();
    text.Line({"CATEGORY=Provisons - Deeds"});
    text.Line({"SUBSECTION=Custom Deeds"});
    text.Line({"DESCRIPTION=Deed to ", v.Name});
    return text.Take();
}

std::string MakeScriptsSourceX(const ScriptSource& source, const ScriptEntry& entry) {
    Values v = ValuesOf(source, entry);
    const std::string multi = "m_" + v.DefName;
    ScriptText text;
    text.Line({"// Multi ", v.Name, ", made by MultiWardstone"});
    text.Line({"[MULTIDEF ", HexText(static_cast<std::uint32_t>(source.PatchSlot - 1)), "]"});
    text.Line({"DEFNAME=", multi});
    text.Line({"NAME=", v.Name});
    text.Line({"TYPE=t_multi"});
    text.Line({"MULTIREGION=", v.MinX, ",", v.MinY, ",", v.MaxX, ",", v.MaxY});
    ComponentLines(text, source, ",", "");
    text.Line();
    text.Line({"[ITEMDEF i_deed_", v.DefName, "]"});
    text.Line({"NAME=Deed to a ", v.Name});
    text.Line({"ID=i_deed"});
    text.Line({"VALUE=", v.Buy});
    text.Line({"ON=@Create"});
    text.Line({"MORE=", multi});
    return text.Take();
}

std::string MakeScripts(std::int16_t ScriptFormat, const ScriptSource& source,
                        const ScriptEntry& entry) {
    switch (ScriptFormat) {
    case OldScriptFormat:
        return MakeScripts51a(source, entry);
    case SourceXScriptFormat:
        return MakeScriptsSourceX(source, entry);
    default:
        return MakeScripts55(source, entry);
    }
}

} // namespace mw
