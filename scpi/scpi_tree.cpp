#include "scpi/scpi_tree.h"

#include <stdexcept>

namespace scpi {

namespace {

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool same_letters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i]))
            return false;
    return true;
}

std::string checked_name(std::string_view pattern, std::string_view name)
{
    bool letters = !name.empty() && name[0] >= 'A' && name[0] <= 'Z';
    for (const char c : name)
        letters = letters && upper(c) >= 'A' && upper(c) <= 'Z';
    if (!letters)
        throw std::invalid_argument("SCPI pattern " + std::string(pattern) + ": node \"" + std::string(name) +
                                    "\" is not a mnemonic");
    return std::string(name);
}

std::string_view without_colons(std::string_view s)
{
    while (!s.empty() && s.front() == ':')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ':')
        s.remove_suffix(1);
    return s;
}

}  // namespace

bool mnemonic_matches(std::string_view name, std::string_view typed)
{
    std::size_t short_length = 0;
    while (short_length < name.size() && !(name[short_length] >= 'a' && name[short_length] <= 'z'))
        ++short_length;
    return same_letters(typed, name) || same_letters(typed, name.substr(0, short_length));
}

void CommandTree::add(std::string_view pattern, Command command)
{
    Entry entry;
    entry.command = std::move(command);
    if (!pattern.empty() && pattern[0] == '*') {
        for (const char c : checked_name(pattern, pattern.substr(1)))
            entry.common += upper(c);
        entries_.push_back(std::move(entry));
        return;
    }
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] == ':') {
            ++i;
        } else if (pattern[i] == '[') {
            const std::size_t close = pattern.find(']', i);
            if (close == std::string_view::npos)
                throw std::invalid_argument("SCPI pattern " + std::string(pattern) + ": '[' not closed");
            entry.nodes.push_back({checked_name(pattern, without_colons(pattern.substr(i + 1, close - i - 1))), true});
            i = close + 1;
        } else {
            std::size_t end = i;
            while (end < pattern.size() && pattern[end] != ':' && pattern[end] != '[')
                ++end;
            entry.nodes.push_back({checked_name(pattern, pattern.substr(i, end - i)), false});
            i = end;
        }
    }
    if (entry.nodes.empty())
        throw std::invalid_argument("SCPI pattern \"" + std::string(pattern) + "\" names no node");
    entries_.push_back(std::move(entry));
}

namespace {

template <typename Node>
bool path_matches(const std::vector<Node>& nodes, std::size_t n, const std::vector<Mnemonic>& path, std::size_t p)
{
    if (n == nodes.size())
        return p == path.size();
    if (nodes[n].optional && path_matches(nodes, n + 1, path, p))
        return true;
    return p < path.size() && mnemonic_matches(nodes[n].name, path[p].name) &&
           path_matches(nodes, n + 1, path, p + 1);
}

}  // namespace

const Command* CommandTree::find(const std::vector<Mnemonic>& path) const
{
    for (const Entry& e : entries_)
        if (!e.nodes.empty() && path_matches(e.nodes, 0, path, 0))
            return &e.command;
    return nullptr;
}

const Command* CommandTree::find_common(std::string_view name) const
{
    for (const Entry& e : entries_)
        if (e.nodes.empty() && same_letters(e.common, name))
            return &e.command;
    return nullptr;
}

}  // namespace scpi
