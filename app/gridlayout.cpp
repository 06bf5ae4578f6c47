#include "app/gridlayout.h"

#include "app/datagrid.h"
#include "app/gridprocedures.h"
#include "app/settingsstore.h"
#include "records/error.h"

#include <charconv>
#include <optional>
#include <vector>

namespace zent5 {

namespace {

constexpr const char* layoutValue = "Table_1";
constexpr const char* eol = "\r\n";

const char* titleStateName(GridTitleState s)
{
    switch (s) {
    case GridTitleState::tsSortedUp: return "tsSortedUp";
    case GridTitleState::tsSortedDown: return "tsSortedDown";
    case GridTitleState::tsSortedNone: break;
    }
    return "tsSortedNone";
}

const char* alignmentName(ColumnAlignment a)
{
    switch (a) {
    case ColumnAlignment::taRightJustify: return "taRightJustify";
    case ColumnAlignment::taCenter: return "taCenter";
    case ColumnAlignment::taLeftJustify: break;
    }
    return "taLeftJustify";
}

std::string quoted(const std::string& text)
{
    std::string result = "'";
    for (char c : text) {
        if (c == '\'')
            result += '\'';
        result += c;
    }
    return result + "'";
}

std::string fontStyles(const ColumnFont& f)
{
    std::vector<std::string> styles;
    if (f.bold) styles.push_back("fsBold");
    if (f.italic) styles.push_back("fsItalic");
    if (f.underline) styles.push_back("fsUnderline");
    if (f.strikeOut) styles.push_back("fsStrikeOut");
    std::string result = "[";
    for (size_t i = 0; i < styles.size(); ++i)
        result += (i ? ", " : "") + styles[i];
    return result + "]";
}

[[noreturn]] void fail() { throw Error(layout_parse_error); }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> result;
    while (!text.empty()) {
        const auto nl = text.find('\n');
        const std::string_view line = trim(text.substr(0, nl));
        if (!line.empty())
            result.push_back(line);
        if (nl == std::string_view::npos)
            break;
        text.remove_prefix(nl + 1);
    }
    return result;
}

int64_t integer(std::string_view v)
{
    int64_t n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc() || end != v.data() + v.size())
        fail();
    return n;
}

int boundedInt(std::string_view v, int64_t low, int64_t high)
{
    const int64_t n = integer(v);
    if (n < low || n > high)
        fail();
    return int(n);
}

std::string unquoted(std::string_view v)
{
    if (v.size() < 2 || v.front() != '\'' || v.back() != '\'')
        fail();
    std::string result;
    for (size_t i = 1; i + 1 < v.size(); ++i) {
        if (v[i] == '\'') {
            if (i + 2 >= v.size() || v[i + 1] != '\'')
                fail();
            ++i;
        }
        result += v[i];
    }
    return result;
}

// One stored column: its field name and the properties it lists.
struct StoredColumn {
    std::string field;
    GridColumn properties;
};

void setProperty(StoredColumn& c, std::string_view name, std::string_view v)
{
    GridColumn& p = c.properties;
    if (name == "FieldName") {
        c.field = unquoted(v);
    } else if (name == "Width") {
        p.Width = boundedInt(v, 0, 100000);
    } else if (name == "LayoutLevel") {
        p.LayoutLevel = boundedInt(v, 0, 1000);
    } else if (name == "LayoutIndex") {
        p.LayoutIndex = boundedInt(v, 0, 1000);
    } else if (name == "TitleState") {
        if (v == "tsSortedNone") p.TitleState = GridTitleState::tsSortedNone;
        else if (v == "tsSortedUp") p.TitleState = GridTitleState::tsSortedUp;
        else if (v == "tsSortedDown") p.TitleState = GridTitleState::tsSortedDown;
        else fail();
    } else if (name == "FooterState") {
        p.FooterState = boundedInt(v, 0, 1000);
    } else if (name == "OptionsVisual") {
        p.OptionsVisual = uint32_t(boundedInt(v, 0, 0xFFFFFFFF));
    } else if (name == "Color") {
        p.Color = uint32_t(boundedInt(v, 0, 0xFFFFFFFF));
    } else if (name == "Alignment") {
        if (v == "taLeftJustify") p.Alignment = ColumnAlignment::taLeftJustify;
        else if (v == "taRightJustify") p.Alignment = ColumnAlignment::taRightJustify;
        else if (v == "taCenter") p.Alignment = ColumnAlignment::taCenter;
        else fail();
    } else if (name == "Font.Name") {
        p.Font.name = unquoted(v);
    } else if (name == "Font.Size") {
        p.Font.size = boundedInt(v, 1, 1000);
    } else if (name == "Font.Color") {
        p.Font.color = uint32_t(boundedInt(v, 0, 0xFFFFFFFF));
    } else if (name == "Font.Style") {
        if (v.size() < 2 || v.front() != '[' || v.back() != ']')
            fail();
        ColumnFont& f = p.Font;
        f.bold = f.italic = f.underline = f.strikeOut = false;
        std::string_view rest = v.substr(1, v.size() - 2);
        while (!trim(rest).empty()) {
            const auto comma = rest.find(',');
            const std::string_view style = trim(rest.substr(0, comma));
            if (style == "fsBold") f.bold = true;
            else if (style == "fsItalic") f.italic = true;
            else if (style == "fsUnderline") f.underline = true;
            else if (style == "fsStrikeOut") f.strikeOut = true;
            else fail();
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
        }
    }
    // Other names belong to properties this program does not keep.
}

std::vector<StoredColumn> parse(const std::string& text)
{
    const auto all = lines(text);
    size_t at = 0;
    auto next = [&]() -> std::string_view {
        if (at >= all.size())
            fail();
        return all[at++];
    };
    if (next().substr(0, 7) != "object ")
        fail();
    if (next() != "Data = <")
        fail();
    std::vector<StoredColumn> columns;
    std::string_view line = next();
    if (line != ">") {
        for (bool more = true; more;) {
            if (line != "item")
                fail();
            StoredColumn column;
            column.properties = GridColumn{};
            for (line = next(); line != "end" && line != "end>"; line = next()) {
                const auto eq = line.find(" = ");
                if (eq == std::string_view::npos)
                    fail();
                setProperty(column, trim(line.substr(0, eq)), trim(line.substr(eq + 3)));
            }
            if (column.field.empty())
                fail();
            columns.push_back(std::move(column));
            more = line == "end";
            if (more)
                line = next();
        }
    }
    if (next() != "end" || at != all.size())
        fail();
    return columns;
}

} // namespace

std::string layout_text(const GridColumns& columns)
{
    const GridColumn fresh;
    std::string text = std::string("object TLayoutStorage") + eol + "  Data = <" + eol;
    for (int i = 0; i < columns.size(); ++i) {
        const GridColumn& c = columns[i];
        text += std::string("    item") + eol;
        auto line = [&](const std::string& name, const std::string& value) {
            text += "      " + name + " = " + value + eol;
        };
        line("FieldName", quoted(c.field));
        if (c.Width != fresh.Width) line("Width", std::to_string(c.Width));
        if (c.LayoutLevel != fresh.LayoutLevel) line("LayoutLevel", std::to_string(c.LayoutLevel));
        if (c.LayoutIndex != fresh.LayoutIndex) line("LayoutIndex", std::to_string(c.LayoutIndex));
        if (c.TitleState != fresh.TitleState) line("TitleState", titleStateName(c.TitleState));
        if (c.FooterState != fresh.FooterState) line("FooterState", std::to_string(c.FooterState));
        if (c.OptionsVisual != fresh.OptionsVisual) line("OptionsVisual", std::to_string(c.OptionsVisual));
        if (c.Color != fresh.Color) line("Color", std::to_string(c.Color));
        if (c.Alignment != fresh.Alignment) line("Alignment", alignmentName(c.Alignment));
        if (c.Font.name != fresh.Font.name) line("Font.Name", quoted(c.Font.name));
        if (c.Font.size != fresh.Font.size) line("Font.Size", std::to_string(c.Font.size));
        if (c.Font.color != fresh.Font.color) line("Font.Color", std::to_string(c.Font.color));
        if (fontStyles(c.Font) != fontStyles(fresh.Font)) line("Font.Style", fontStyles(c.Font));
        text += std::string(i + 1 < columns.size() ? "    end" : "    end>") + eol;
    }
    if (columns.size() == 0)
        text += std::string("  >") + eol;
    text += std::string("end") + eol;
    return text;
}

void apply_layout_text(const std::string& text, GridColumns& columns)
{
    for (const StoredColumn& stored : parse(text)) {
        GridColumn* c = columns.find(stored.field);
        if (!c)
            continue;
        const GridColumn& p = stored.properties;
        c->Width = p.Width;
        c->LayoutLevel = p.LayoutLevel;
        c->LayoutIndex = p.LayoutIndex;
        c->TitleState = p.TitleState;
        c->FooterState = p.FooterState;
        c->OptionsVisual = p.OptionsVisual;
        c->Color = p.Color;
        c->Alignment = p.Alignment;
        c->Font = p.Font;
    }
}

void load_layout(SettingsStore& settings, DataGrid& grid)
{
    if (auto text = settings.text(layoutValue)) {
        apply_layout_text(*text, grid.columns());
        grid.applyColumns();
        return;
    }
    fit_columns(grid);
    save_layout(settings, grid);
}

void save_layout(SettingsStore& settings, const DataGrid& grid)
{
    settings.setText(layoutValue, layout_text(grid.columns()));
}

} // namespace zent5
