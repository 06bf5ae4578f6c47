#include "fontsubstitution.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

#include <map>
#include <mutex>

namespace zent5 {
namespace {

bool sameFamily(const std::string& a, const char* b) { return QString::fromStdString(a).compare(QLatin1String(b), Qt::CaseInsensitive) == 0; }

std::string firstInstalled(std::initializer_list<const char*> candidates, const std::string& fallback)
{
    const QStringList families = QFontDatabase::families();
    for (const char* c : candidates)
        if (families.contains(QLatin1String(c), Qt::CaseInsensitive))
            return c;
    return fallback;
}

// Adobe's Symbol encoding for the Latin letters.
const char* greekForSymbolLetter(char c)
{
    static const char* const lower[26] = {"α", "β", "χ", "δ", "ε", "φ", "γ", "η", "ι", "ϕ", "κ", "λ", "μ",
                                          "ν", "ο", "π", "θ", "ρ", "σ", "τ", "υ", "ϖ", "ω", "ξ", "ψ", "ζ"};
    static const char* const upper[26] = {"Α", "Β", "Χ", "Δ", "Ε", "Φ", "Γ", "Η", "Ι", "ϑ", "Κ", "Λ", "Μ",
                                          "Ν", "Ο", "Π", "Θ", "Ρ", "Σ", "Τ", "Υ", "ς", "Ω", "Ξ", "Ψ", "Ζ"};
    if (c >= 'a' && c <= 'z')
        return lower[c - 'a'];
    if (c >= 'A' && c <= 'Z')
        return upper[c - 'A'];
    return nullptr;
}

} // namespace

std::string installedFamilyFor(const std::string& family)
{
    static std::mutex mutex;
    static std::map<std::string, std::string> resolved;
    const std::lock_guard lock(mutex);
    if (const auto it = resolved.find(family); it != resolved.end())
        return it->second;
    std::string result = family;
    if (sameFamily(family, "Arial"))
        result = firstInstalled({"Liberation Sans", "Arimo", "Arial"}, family);
    else if (sameFamily(family, "Symbol"))
        result = firstInstalled({"Standard Symbols PS", "Liberation Serif", "Tinos", "DejaVu Serif"}, family);
    resolved.emplace(family, result);
    return result;
}

std::string textForFont(const std::string& family, std::string_view text)
{
    if (!sameFamily(family, "Symbol"))
        return std::string(text);
    std::string out;
    for (char c : text) {
        if (const char* greek = greekForSymbolLetter(c))
            out += greek;
        else
            out += c;
    }
    return out;
}

} // namespace zent5
