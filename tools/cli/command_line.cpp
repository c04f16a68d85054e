#include "command_line.h"

#include <algorithm>
#include <list>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

namespace cli {

namespace {

const char kGlobalOptions[] =
    "global options (before or after the command):\n"
    "  --prefix DIR   the machine prefix of a posix host (default $WEBINTERACTIVE_PREFIX or\n"
    "                 ~/.webinteractive); Windows has none and ignores it\n"
    "  --quiet        no status lines and no progress: only results and errors\n"
    "  --json         the results as one JSON document on standard output\n"
    "  --help         the usage of the program, a family of commands or a command\n"
    "  --version      the versions of this program and of the library it runs\n";

const char kExitStatus[] =
    "Results go to standard output; status lines and progress to standard error.\n"
    "exit status: 0 success, 1 failed operation (one line on standard error says why),\n"
    "2 wrong usage, 130 stopped by Ctrl-C; a first Ctrl-C during a transfer or a protection\n"
    "cancels it cleanly (exit status 1)\n";

std::vector<std::string> Words(const std::string& name) {
    std::vector<std::string> words;
    std::string::size_type start = 0;
    while (start < name.size()) {
        std::string::size_type end = name.find(' ', start);
        if (end == std::string::npos) end = name.size();
        words.push_back(name.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// The page of one command, of a family of commands, or of the whole program.
class HelpPages : public CLI::FormatterBase {
public:
    void Add(const CLI::App* app, const Command* command) { commands_[app] = command; }

    std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
        const auto found = commands_.find(app);
        if (found != commands_.end()) return CommandPage(*found->second);
        // A family: the commands whose first word it is; the program (and its help command):
        // every command.
        std::string prefix = app->get_parent() != nullptr ? app->get_name() + " " : "";
        std::string list = Listed(prefix);
        if (list.empty()) {
            prefix.clear();
            list = Listed(prefix);
        }
        return "usage: webinteractive " + prefix + "COMMAND [OPTIONS]\n\ncommands:\n" + list +
               "\n" + kGlobalOptions + "\n" + kExitStatus +
               "webinteractive " + prefix + "COMMAND --help (or webinteractive help " + prefix +
               "COMMAND) shows a command with an example.\n";
    }

    // The commands whose names begin with the prefix, with their synopses and summaries.
    static std::string Listed(const std::string& prefix) {
        std::string list;
        for (const Command& command : Commands()) {
            const std::string name = command.name;
            if (name.compare(0, prefix.size(), prefix) != 0) continue;
            list += "  " + name + " " + command.synopsis + "\n      " + command.summary + "\n";
        }
        return list;
    }

    static std::string CommandPage(const Command& command) {
        return "usage: webinteractive " + std::string(command.name) + " " + command.synopsis +
               "\n\n  " + command.summary + "\n\nexample:\n  " + command.example + "\n\n" +
               kGlobalOptions + "\n" + kExitStatus;
    }

private:
    std::map<const CLI::App*, const Command*> commands_;
};

// One value option of a command, as CLI11 fills it.
struct BoundOption {
    std::string name;
    CLI::Option* option;
    std::string value;
};

class CommandLine {
public:
    explicit CommandLine(const std::string& version) {
        app_.formatter(pages_);
        app_.set_help_flag("-h,--help", "the usage");
        app_.set_version_flag("--version", version);
        app_.add_option("--prefix", prefix_, "the machine prefix")
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        app_.add_flag("--quiet", quiet_, "only results and errors");
        app_.add_flag("--json", json_, "the results as one JSON document");
        app_.require_subcommand(1);
        for (const Command& command : Commands()) AddCommand(command);
        CLI::App* help = app_.add_subcommand("help", "the usage of the program or of a command");
        help->add_option("topic", topic_, "a command or a family of commands");
        help->fallthrough();
        help_ = help;
    }

    Invocation Read(int argc, const char* const* argv) {
        Invocation invocation;
        // The switches that shape the output count even on a command line that fails to parse,
        // so that a usage error under --json is a JSON document too.
        for (int i = 1; i < argc && std::string(argv[i]) != "--"; ++i) {
            if (std::string(argv[i]) == "--json") invocation.arguments.json = true;
            if (std::string(argv[i]) == "--quiet") invocation.arguments.quiet = true;
        }
        std::vector<std::string> tokens;
        for (int i = argc - 1; i > 0; --i) tokens.push_back(SplitEmptyValue(argv[i], tokens));
        try {
            app_.parse(tokens);
        } catch (const CLI::CallForHelp&) {
            return Page(invocation, Deepest()->help());
        } catch (const CLI::CallForVersion& version) {
            return Page(invocation, std::string(version.what()) + "\n");
        } catch (const CLI::ParseError& error) {
            invocation.command = CommandOf(Deepest());
            invocation.text = Explain(error, argc, argv);
            return invocation;
        }
        if (help_->parsed()) return Help(invocation);
        CLI::App* leaf = Deepest();
        invocation.command = CommandOf(leaf);
        if (invocation.command == nullptr) {
            invocation.text = FamilyWithoutCommand(leaf->get_name());
            return invocation;
        }
        invocation.outcome = Invocation::Outcome::kRun;
        for (const BoundOption& bound : options_[leaf]) {
            if (bound.option->count() > 0) invocation.arguments.options[bound.name] = bound.value;
        }
        if (app_.get_option("--prefix")->count() > 0) {
            invocation.arguments.options["--prefix"] = prefix_;
        }
        invocation.arguments.json = json_;
        invocation.arguments.quiet = quiet_;
        return invocation;
    }

private:
    void AddCommand(const Command& command) {
        CLI::App* parent = &app_;
        const std::vector<std::string> words = Words(command.name);
        for (std::size_t i = 0; i + 1 < words.size(); ++i) parent = Family(parent, words[i]);
        CLI::App* app = parent->add_subcommand(words.back(), command.summary);
        // Options the command does not know are the program's own (--json, --prefix, ...).
        app->fallthrough();
        pages_->Add(app, &command);
        commands_[app] = &command;
        std::list<BoundOption>& bound = options_[app];
        for (const std::string& name : command.options) {
            if (name == "--prefix") continue;
            bound.push_back(BoundOption{name, nullptr, std::string()});
            BoundOption& added = bound.back();
            added.option = app->add_option(name, added.value);
            added.option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
            if (std::find(command.required.begin(), command.required.end(), name) !=
                command.required.end()) {
                added.option->required();
            }
        }
    }

    CLI::App* Family(CLI::App* parent, const std::string& name) {
        if (CLI::App* existing = Child(parent, name)) return existing;
        CLI::App* family = parent->add_subcommand(name, "the " + name + " commands");
        family->fallthrough();
        return family;
    }

    static CLI::App* Child(CLI::App* parent, const std::string& name) {
        const std::vector<CLI::App*> found =
            parent->get_subcommands([&](CLI::App* app) { return app->get_name() == name; });
        return found.empty() ? nullptr : found.front();
    }

    static std::vector<std::string> ChildNames(CLI::App* parent) {
        std::vector<std::string> names;
        for (CLI::App* app : parent->get_subcommands([](CLI::App*) { return true; })) {
            names.push_back(app->get_name());
        }
        return names;
    }

    // "--name=" is an empty value: CLI11 would take the next word as the value instead.
    static std::string SplitEmptyValue(const std::string& argument,
                                       std::vector<std::string>& reversed) {
        if (argument.size() > 3 && argument.compare(0, 2, "--") == 0 && argument.back() == '=' &&
            argument.find('=') == argument.size() - 1) {
            reversed.push_back(std::string());
            return argument.substr(0, argument.size() - 1);
        }
        return argument;
    }

    // The innermost command or family the command line named.
    CLI::App* Deepest() {
        CLI::App* app = &app_;
        for (;;) {
            const std::vector<CLI::App*> parsed = app->get_subcommands();
            if (parsed.empty()) return app;
            app = parsed.front();
        }
    }

    const Command* CommandOf(const CLI::App* app) const {
        const auto found = commands_.find(app);
        return found != commands_.end() ? found->second : nullptr;
    }

    // A family named without one of its commands.
    std::string FamilyWithoutCommand(const std::string& family) const {
        return family + " needs one of its commands: " + ListFamily(family) +
               " (see webinteractive " + family + " --help)";
    }

    std::string ListFamily(const std::string& family) const {
        std::vector<std::string> names;
        for (const Command& command : Commands()) {
            const std::vector<std::string> words = Words(command.name);
            if (words.size() > 1 && words.front() == family) names.push_back(command.name);
        }
        std::string text;
        for (std::size_t i = 0; i < names.size(); ++i) {
            text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
        }
        return text;
    }

    static Invocation Page(Invocation invocation, std::string text) {
        invocation.outcome = Invocation::Outcome::kHelp;
        invocation.text = std::move(text);
        return invocation;
    }

    // "webinteractive help [FAMILY [COMMAND]]".
    Invocation Help(Invocation invocation) {
        CLI::App* app = &app_;
        std::string named;
        for (const std::string& word : topic_) {
            CLI::App* child = app == help_ ? nullptr : Child(app, word);
            named += (named.empty() ? "" : " ") + word;
            if (child == nullptr || child == help_) {
                invocation.text = UnknownCommand(named, app, word);
                return invocation;
            }
            app = child;
        }
        return Page(invocation, app->help());
    }

    std::string UnknownCommand(const std::string& named, CLI::App* parent,
                               const std::string& word) const {
        std::vector<std::string> candidates = Suggestions(word, ChildNames(parent));
        const std::string family = parent == &app_ ? "" : parent->get_name() + " ";
        std::string text = "unknown command \"" + named + "\"";
        if (candidates.empty()) {
            return text + ": see webinteractive " + family + "--help for the commands";
        }
        text += ": did you mean ";
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            text += (i == 0 ? "" : " or ") + ("\"" + family + candidates[i] + "\"");
        }
        return text + "?";
    }

    // A usage error in one line: what is wrong, and the usage of the command it concerns.
    std::string Explain(const CLI::ParseError& error, int argc, const char* const* argv) {
        // Walk the words as CLI11 did, to find a command word that names no command.
        CLI::App* app = &app_;
        std::string named;
        bool anyCommand = false;
        for (int i = 1; i < argc; ++i) {
            const std::string word = argv[i];
            if (word == "--") break;
            if (word.compare(0, 1, "-") == 0) {
                const CLI::Option* option = FindOption(app, word.substr(0, word.find('=')));
                if (option != nullptr && option->get_items_expected_max() > 0 &&
                    word.find('=') == std::string::npos) {
                    ++i;
                }
                continue;
            }
            // An operand of a command, or a topic of help: CLI11's words.
            if (CommandOf(app) != nullptr || app == help_) break;
            CLI::App* child = Child(app, word);
            named += (named.empty() ? "" : " ") + word;
            if (child == nullptr) return UnknownCommand(named, app, word);
            app = child;
            anyCommand = true;
        }
        if (!anyCommand) return "no command given: see webinteractive --help for the commands";
        const Command* command = CommandOf(app);
        if (command == nullptr) return FamilyWithoutCommand(app->get_name());
        return std::string(command->name) + ": " + Problem(error, app, argc, argv) +
               " (usage: webinteractive " + command->name + " " + command->synopsis + ")";
    }

    // The option of this name that the command or the program takes.
    const CLI::Option* FindOption(CLI::App* app, const std::string& name) const {
        for (CLI::App* at = app; at != nullptr; at = at->get_parent()) {
            for (const CLI::Option* option : at->get_options()) {
                if (option->check_lname(name.substr(std::min<std::size_t>(2, name.size())))) {
                    return option;
                }
            }
        }
        return nullptr;
    }

    std::string Problem(const CLI::ParseError& error, CLI::App* app, int argc,
                        const char* const* argv) const {
        // The words CLI11 took for no option or command; an unknown option among them also
        // explains a required one that seems missing.
        std::vector<std::string> extras = app_.remaining(true);
        for (CLI::App* at = app; at != &app_; at = at->get_parent()) {
            const std::vector<std::string> more = at->remaining();
            extras.insert(extras.end(), more.begin(), more.end());
        }
        for (const std::string& extra : extras) {
            if (extra.compare(0, 2, "--") == 0) return Extra(extra, app);
        }
        if (dynamic_cast<const CLI::RequiredError*>(&error) != nullptr) {
            for (const BoundOption& bound : options_.at(app)) {
                if (bound.option->get_required() && bound.option->count() == 0) {
                    return "missing " + bound.name;
                }
            }
        }
        // An option that takes a value, last on the line.
        const std::string last = argv[argc - 1];
        const CLI::Option* option = FindOption(app, last);
        if (option != nullptr && option->get_items_expected_max() > 0) {
            return last + " needs a value";
        }
        if (!extras.empty()) return Extra(extras.front(), app);
        return error.what();
    }

    std::string Extra(const std::string& word, CLI::App* app) const {
        if (word.compare(0, 2, "--") != 0) return "unexpected argument " + word;
        std::vector<std::string> known;
        for (CLI::App* at = app; at != nullptr; at = at->get_parent()) {
            for (const CLI::Option* option : at->get_options()) {
                for (const std::string& name : option->get_lnames()) known.push_back("--" + name);
            }
        }
        const std::vector<std::string> close = Suggestions(word.substr(0, word.find('=')), known);
        return "unknown option " + word +
               (close.empty() ? "" : ": did you mean " + close.front() + "?");
    }

    CLI::App app_{"webinteractive: a host of the webinteractive library", "webinteractive"};
    std::shared_ptr<HelpPages> pages_ = std::make_shared<HelpPages>();
    std::map<const CLI::App*, const Command*> commands_;
    std::map<const CLI::App*, std::list<BoundOption>> options_;
    CLI::App* help_ = nullptr;
    std::vector<std::string> topic_;
    std::string prefix_;
    bool quiet_ = false;
    bool json_ = false;
};

// The edits (insertions, deletions, changes, swaps of neighbours) that make one word the other.
std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

std::vector<std::string> Suggestions(const std::string& word,
                                     const std::vector<std::string>& known) {
    // Words longer than any name are not compared letter by letter (the table is quadratic).
    constexpr std::size_t kLongest = 64;
    std::vector<std::pair<std::size_t, std::string>> close;
    if (word.empty() || word.size() > kLongest) return {};
    const std::size_t allowed = std::max<std::size_t>(1, word.size() / 3);
    for (const std::string& name : known) {
        std::size_t distance = EditDistance(word, name);
        // A beginning of a name, three letters or more ("reg" for "registry").
        if (word.size() >= 3 && name.compare(0, word.size(), word) == 0) distance = 1;
        if (distance <= allowed) close.emplace_back(distance, name);
    }
    std::stable_sort(close.begin(), close.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (const auto& entry : close) {
        if (std::find(names.begin(), names.end(), entry.second) == names.end()) {
            names.push_back(entry.second);
        }
    }
    if (names.size() > 3) names.resize(3);
    return names;
}

Invocation ReadCommandLine(int argc, const char* const* argv, const std::string& version) {
    CommandLine commandLine(version);
    return commandLine.Read(argc, argv);
}

}  // namespace cli
