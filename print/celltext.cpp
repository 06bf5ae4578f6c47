#include "celltext.h"

#include "records/fieldname.h"

namespace zent5 {
namespace {

void appendLiteral(std::vector<CellTextPart>& parts, const std::string& text)
{
    if (text.empty())
        return;
    if (!parts.empty() && parts.back().kind == CellTextPart::Literal)
        parts.back().text += text;
    else
        parts.push_back({CellTextPart::Literal, text});
}

bool parseExpression(const std::string& expr, CellTextPart& part)
{
    if (expr == "PAGE#") {
        part = {CellTextPart::PageNumber, {}};
        return true;
    }
    if (expr == "TOTALPAGES") {
        part = {CellTextPart::TotalPages, {}};
        return true;
    }
    const std::string prefix = "Dbf1.\"";
    if (expr.size() > prefix.size() + 1 && expr.compare(0, prefix.size(), prefix) == 0 && expr.back() == '"') {
        std::string column = expr.substr(prefix.size(), expr.size() - prefix.size() - 1);
        if (column.find('"') != std::string::npos)
            return false;
        part = {CellTextPart::Column, upperFieldName(column)};
        return true;
    }
    return false;
}

} // namespace

std::vector<CellTextPart> parseCellText(const std::string& text)
{
    std::vector<CellTextPart> parts;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t open = text.find('[', pos);
        if (open == std::string::npos) {
            appendLiteral(parts, text.substr(pos));
            break;
        }
        const size_t close = text.find(']', open + 1);
        if (close == std::string::npos) {
            appendLiteral(parts, text.substr(pos));
            break;
        }
        appendLiteral(parts, text.substr(pos, open - pos));
        CellTextPart part;
        if (parseExpression(text.substr(open + 1, close - open - 1), part))
            parts.push_back(part);
        else
            appendLiteral(parts, text.substr(open, close - open + 1));
        pos = close + 1;
    }
    return parts;
}

} // namespace zent5
