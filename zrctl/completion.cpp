#include "zrctl/command_line.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

std::string joined(const std::vector<std::string>& words, const char* between)
{
    std::string list;
    for (const std::string& w : words)
        list += (list.empty() ? "" : between) + w;
    return list;
}

// Words for compgen -W, in single quotes: the names hold no quote.
std::string word_list(const std::vector<std::string>& words)
{
    return "'" + joined(words, " ") + "'";
}

std::vector<std::string> option_names(const CLI::App& app)
{
    std::vector<std::string> names;
    for (const CLI::Option* o : app.get_options()) {
        for (const std::string& n : o->get_lnames())
            names.push_back("--" + n);
        for (const std::string& n : o->get_fnames())
            if (std::find(names.begin(), names.end(), "--" + n) == names.end())
                names.push_back("--" + n);
    }
    return names;
}

// The words an option's value is one of ("zr3100|zr3500"), as typed and in
// capitals, which the tool takes alike.
std::vector<std::string> choices(const CLI::Option& o)
{
    std::vector<std::string> words;
    std::istringstream text(o.get_option_text());
    std::string w;
    while (std::getline(text, w, '|'))
        words.push_back(w);
    const std::size_t typed = words.size();
    for (std::size_t i = 0; i < typed; ++i) {
        std::string upper = words[i];
        std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
        if (upper != words[i])
            words.push_back(upper);
    }
    return words;
}

bool takes_file(const CLI::Option& o)
{
    return o.get_type_name().rfind("FILE", 0) == 0 || (o.get_positional() && o.get_name(true, false) == "FILE");
}

// The case arms that complete the value of an option of the command.
std::string value_arms(const CLI::App& command)
{
    std::string arms;
    std::vector<std::string> files, others;
    for (const CLI::Option* o : command.get_options()) {
        if (o->get_positional() || o->get_expected_max() == 0)
            continue;
        std::vector<std::string> names;
        for (const std::string& n : o->get_lnames())
            names.push_back("--" + n);
        const std::string patterns = joined(names, "|");
        if (o->get_option_text().find('|') != std::string::npos)
            arms += "        " + patterns + ") COMPREPLY=($(compgen -W " + word_list(choices(*o)) +
                    " -- \"$cur\")); return ;;\n";
        else if (takes_file(*o))
            files.push_back(patterns);
        else
            others.push_back(patterns);
    }
    if (!files.empty())
        arms += "        " + joined(files, "|") + ") compopt -o filenames 2>/dev/null; "
                "COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n";
    // A value that is a number or a name: nothing to offer.
    if (!others.empty())
        arms += "        " + joined(others, "|") + ") return ;;\n";
    return arms;
}

}  // namespace

std::string bash_completion_script(const CLI::App& zrctl)
{
    std::vector<std::string> command_names;
    for (const CLI::App* c : zrctl.get_subcommands({}))
        command_names.push_back(c->get_name());
    std::vector<std::string> top = command_names;
    for (const std::string& n : option_names(zrctl))
        top.push_back(n);

    const std::string commands_pattern = joined(command_names, "|");

    std::string s;
    s += "# bash completion for zrctl: its commands, their options, and the values of\n"
         "# the options that take one of a few words or a file. Written from zrctl's own\n"
         "# command line when it is built.\n\n";
    s += "_zrctl()\n{\n"
         "    local cur=${COMP_WORDS[COMP_CWORD]} prev=\n"
         "    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD-1]}\n"
         "    # --part=zr3 arrives as the words --part, = and zr3\n"
         "    if [[ $cur == = ]]; then\n"
         "        cur=\n"
         "    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then\n"
         "        prev=${COMP_WORDS[COMP_CWORD-2]}\n"
         "    fi\n"
         "    local command= i\n"
         "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "        case ${COMP_WORDS[i]} in\n"
         "        " + commands_pattern + ") command=${COMP_WORDS[i]}; break ;;\n"
         "        esac\n"
         "    done\n"
         "    COMPREPLY=()\n"
         "    case $command in\n";
    for (const CLI::App* c : zrctl.get_subcommands({})) {
        bool file_argument = false;
        for (const CLI::Option* o : c->get_options())
            if (o->get_positional() && takes_file(*o))
                file_argument = true;
        s += "    " + c->get_name() + ")\n";
        s += "        case $prev in\n" + value_arms(*c) + "        esac\n";
        if (file_argument)
            s += "        if [[ $cur != -* ]]; then\n"
                 "            compopt -o filenames 2>/dev/null\n"
                 "            COMPREPLY=($(compgen -f -- \"$cur\"))\n"
                 "            return\n"
                 "        fi\n";
        s += "        COMPREPLY=($(compgen -W " + word_list(option_names(*c)) + " -- \"$cur\"))\n        ;;\n";
    }
    s += "    *)\n"
         "        COMPREPLY=($(compgen -W " + word_list(top) + " -- \"$cur\"))\n"
         "        ;;\n"
         "    esac\n"
         "}\n"
         "complete -F _zrctl zrctl\n";
    return s;
}
