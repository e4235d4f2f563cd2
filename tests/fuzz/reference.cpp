// A whole-buffer model of system.ini's text rules: the input held in memory, each rule one step.
#include "reference.h"

#include <algorithm>

namespace reference {

std::string Translate(const std::string& raw)
{
    std::string input = raw.substr(0, raw.find('\x1A'));
    std::string text;
    for (size_t i = 0; i < input.size(); ++i) {
        if (input[i] == '\r' && i + 1 < input.size() && input[i + 1] == '\n')
            continue;
        text += input[i];
    }
    return text;
}

std::vector<std::string> Pieces(const std::string& text)
{
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : text) {
        piece += c;
        if (c == '\n' || piece.size() == 99) {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty())
        pieces.push_back(piece);
    return pieces;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

bool Has(const std::string& text, const char* needle)
{
    return text.find(needle) != std::string::npos;
}

ScanResult Scan(const std::string& raw)
{
    bool inSection = false;
    for (const std::string& piece : Pieces(Translate(raw))) {
        if (inSection) {
            if (piece.substr(0, 4).find('[') != std::string::npos)
                return SCAN_ABSENT;
            std::string upper = piece;
            std::transform(upper.begin(), upper.end(), upper.begin(),
                [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
            if (Has(upper, "REMOVABLEIDE") && Has(upper, "TRUE") && !Has(upper, "REM ") && upper[0] != ';')
                return SCAN_PRESENT;
        }
        if (Has(piece, "386Enh"))
            inSection = true;
    }
    return SCAN_ABSENT;
}

std::string Rewrite(const std::string& raw)
{
    std::string text;
    for (const std::string& line : Lines(Translate(raw))) {
        text += line;
        if (Has(line, "386Enh")) {
            if (line.back() != '\n')
                text += '\n';
            text += "RemovableIDE = TRUE\n";
        }
    }
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace reference
