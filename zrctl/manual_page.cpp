#include "zrctl/command_line.h"

#include <sstream>

namespace {

// Text as the manual's markup takes it: backslashes and hyphens escaped, and
// no line that begins with a control character.
std::string roff(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\''))
        out.insert(0, "\\&");
    return out;
}

std::string option_entry(const CLI::Option& o)
{
    std::string name;
    if (o.get_positional()) {
        name = "\\fI" + roff(o.get_name(true, false)) + "\\fR";
    } else {
        std::istringstream names(o.get_name(false, true));
        std::string one;
        while (std::getline(names, one, ','))
            name += (name.empty() ? "" : ", ") + std::string("\\fB") + roff(one.substr(0, one.find('{'))) + "\\fR";
        if (o.get_expected_max() > 0) {
            const std::string word = o.get_option_text().empty() ? o.get_type_name() : o.get_option_text();
            name += " \\fI" + roff(word) + "\\fR";
        }
    }
    return ".TP\n" + name + "\n" + roff(o.get_description()) + "\n";
}

std::string synopsis(const CLI::App& command)
{
    std::string s = "\\fBzrctl " + roff(command.get_name()) + "\\fR [\\fIOPTIONS\\fR]";
    for (const CLI::Option* p : command.get_options([](const CLI::Option* o) { return o->get_positional(); })) {
        std::string word = "\\fI" + roff(p->get_name(true, false)) + "\\fR";
        if (p->get_expected_max() > 1)
            word += "...";
        s += " " + (p->get_required() ? word : "[" + word + "]");
    }
    return s;
}

// A command's closing notes: paragraphs, and the rows of a table ("  name   what
// it does") as tagged paragraphs.
std::string notes(const std::string& footer)
{
    std::string s;
    bool in_paragraph = false;
    std::istringstream lines(footer);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t start = line.find_first_not_of(' ');
        const std::size_t gap = start == std::string::npos ? start : line.find("  ", start);
        if (start == std::string::npos) {
            in_paragraph = false;
        } else if (start > 0 && gap != std::string::npos) {
            const std::size_t column = line.find_first_not_of(' ', gap);
            s += ".TP\n\\fB" + roff(line.substr(start, gap - start)) + "\\fR\n" +
                 roff(column == std::string::npos ? "" : line.substr(column)) + "\n";
            in_paragraph = false;
        } else {
            s += (in_paragraph ? "" : ".PP\n") + roff(line.substr(start)) + "\n";
            in_paragraph = true;
        }
    }
    return s;
}

std::string commands_section(const CLI::App& zrctl)
{
    std::string s;
    for (const CLI::App* c : zrctl.get_subcommands({})) {
        s += ".SS " + roff(c->get_name()) + "\n" + synopsis(*c) + "\n.PP\n" + roff(c->get_description()) + "\n";
        for (const CLI::Option* o : c->get_options())
            if (o != c->get_help_ptr())
                s += option_entry(*o);
        s += notes(c->get_footer());
    }
    return s;
}

std::string options_section(const CLI::App& zrctl)
{
    std::string s;
    for (const CLI::Option* o : zrctl.get_options())
        s += option_entry(*o);
    return s;
}

void replace_line(std::string& page, const std::string& marker, const std::string& text)
{
    const std::string line = marker + "\n";
    if (const std::size_t at = page.find(line); at != std::string::npos)
        page.replace(at, line.size(), text);
}

}  // namespace

std::string manual_page(const CLI::App& zrctl, const std::string& page)
{
    std::string out = page;
    replace_line(out, "%COMMANDS%", commands_section(zrctl));
    replace_line(out, "%OPTIONS%", options_section(zrctl));
    return out;
}
