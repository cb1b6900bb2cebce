#include "zrctl/help_format.h"

#include <CLI/CLI.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

// Where the descriptions begin; a longer name puts its description on the next line.
constexpr std::size_t kDescriptionColumn = 26;

// text wrapped at spaces into lines of at most width characters, each after indent.
std::string wrapped(const std::string& text, std::size_t indent, std::size_t width)
{
    // Split at single spaces, so that a run of two ("Enable  (Low)") is kept.
    std::string out, line;
    std::istringstream words(text);
    std::string word;
    const std::string margin(indent, ' ');
    while (std::getline(words, word, ' ')) {
        if (!line.empty() && !word.empty() && indent + line.size() + 1 + word.size() > width) {
            while (line.back() == ' ')
                line.pop_back();
            out += margin + line + '\n';
            line.clear();
        }
        if (!line.empty() || !word.empty())
            line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty())
        out += margin + line + '\n';
    return out;
}

// "  name   description", the description wrapped in its column.
std::string entry(const std::string& name, const std::string& description)
{
    std::string out = "  " + name;
    const std::string text = wrapped(description, kDescriptionColumn, kHelpWidth);
    if (text.empty())
        return out + '\n';
    if (out.size() + 1 < kDescriptionColumn)
        return out + std::string(kDescriptionColumn - out.size(), ' ') + text.substr(kDescriptionColumn);
    return out + '\n' + text;
}

// A row of a table, "  name   what it does", the second column wrapped in its place.
std::string table_row(const std::string& line)
{
    const std::size_t gap = line.find("  ", 2);
    const std::size_t column = gap == std::string::npos ? std::string::npos : line.find_first_not_of(' ', gap);
    if (column == std::string::npos || column >= kHelpWidth / 2)
        return line + '\n';
    const std::string text = wrapped(line.substr(column), column, kHelpWidth);
    return line.substr(0, column) + text.substr(column);
}

// Paragraphs, wrapped: lines run on up to a blank line or a line that begins
// with spaces, which is a row of a table.
std::string paragraphs(const std::string& text, std::size_t indent)
{
    std::string out, paragraph;
    const auto end_paragraph = [&] {
        out += wrapped(paragraph, indent, kHelpWidth);
        paragraph.clear();
    };
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            end_paragraph();
            out += "\n";
        } else if (line.front() == ' ') {
            end_paragraph();
            out += table_row(line);
        } else {
            paragraph += (paragraph.empty() ? "" : " ") + line;
        }
    }
    end_paragraph();
    return out;
}

// The text up to its first colon, semicolon or full stop outside brackets.
std::string first_clause(const std::string& text)
{
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        const bool ends = i + 1 == text.size() || text[i + 1] == ' ';
        if (depth == 0 && ends && (c == ':' || c == ';' || c == '.'))
            return text.substr(0, i);
    }
    return text;
}

class HelpFormatter : public CLI::Formatter {
public:
    std::string make_option(const CLI::Option* opt, bool positional) const override
    {
        std::string name;
        if (positional) {
            name = opt->get_name(true, false);
        } else {
            std::istringstream names(opt->get_name(false, true));
            std::string one;
            while (std::getline(names, one, ','))
                name += (name.empty() ? "" : ", ") + one.substr(0, one.find('{'));
            if (opt->get_expected_max() > 0)
                name += " " + value_word(opt);
        }
        return entry(name, opt->get_description());
    }

    std::string make_subcommand(const CLI::App* sub) const override
    {
        // In the tool's list the first sentence is enough; the command's own --help says all.
        return entry(sub->get_name(), first_clause(sub->get_description()));
    }

    std::string make_description(const CLI::App* app) const override
    {
        const std::string& description = app->get_description();
        return description.empty() ? std::string() : paragraphs(description, 0) + '\n';
    }

    std::string make_footer(const CLI::App* app) const override
    {
        return app->get_footer().empty() ? std::string() : paragraphs(app->get_footer(), 0);
    }

    std::string make_usage(const CLI::App* app, std::string name) const override
    {
        std::string usage = "Usage: " + name;
        if (!app->get_options([](const CLI::Option* o) { return o->nonpositional(); }).empty())
            usage += " [OPTIONS]";
        for (const CLI::Option* p : app->get_options([](const CLI::Option* o) { return o->get_positional(); })) {
            std::string word = p->get_name(true, false);
            if (p->get_expected_max() > 1)
                word += "...";
            usage += " " + (p->get_required() ? word : "[" + word + "]");
        }
        if (!app->get_subcommands({}).empty())
            usage += " COMMAND";
        return usage + "\n";
    }

private:
    // The value's word: the choices ("zr3100|zr3500"), or the word the option names.
    static std::string value_word(const CLI::Option* opt)
    {
        return opt->get_option_text().empty() ? opt->get_type_name() : opt->get_option_text();
    }
};

}  // namespace

std::shared_ptr<CLI::Formatter> help_formatter()
{
    auto f = std::make_shared<HelpFormatter>();
    f->label("Positionals", "Arguments");
    f->label("Subcommands", "Commands");
    return f;
}
