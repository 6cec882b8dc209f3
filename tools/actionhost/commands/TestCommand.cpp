// actionhost test TARGET...: runs every scenario that has an "expect" block,
// each in a process of its own (or all in this one), reports each in order
// and the summary, and with --update writes observed outcomes back. Here:
// its options; the run itself is test/TestSuite.
#include "commands/Command.h"
#include "commands/Options.h"
#include "run/Exit.h"
#include "test/TestSuite.h"

#include <memory>

namespace actionhost {

void addTestCommand(CLI::App& app, CommandBody& chosen, const std::string& self)
{
    // The word of --update, turned into the suite's choice once parsed.
    struct Options {
        SuiteOptions suite;
        std::string updateWord;
        std::string noTests = "error";
    };
    auto options = std::make_shared<Options>();
    CLI::App* command = app.add_subcommand(
        "test", "Run every scenario that has an \"expect\" block, each in a process of its own; print PASS or "
                "FAIL with the differences and the tails of its output, SKIP for a scenario without an "
                "\"expect\" block, then \"N passed, N failed\" (and \", N skipped\"). Folders are searched with "
                "their subfolders.");
    command->add_option("SCENARIOS", options->suite.targets, "scenario files and folders")->required()->type_name("");
    addLibraryOption(command, options->suite.cases.library);
    command->add_flag("--fault-sweep", options->suite.cases.faultSweep,
                      "make the host throw at each host call in turn and check that the action handles or passes "
                      "on the fault as it must, and writes nothing after it");
    CLI::Option* timeout =
        command->add_option("--timeout", options->suite.cases.timeout,
                            "the limit of each scenario in seconds (a scenario may set its own \"timeout\"); the run "
                            "and all it started are killed then")
            ->check(CLI::Range(0.001, 86400.0))
            ->capture_default_str();
    CLI::Option* jobs =
        command->add_option("-j,--jobs", options->suite.jobs, "scenarios at once, reported in order (default: one per core)")
            ->check(CLI::Range(1u, 9999u));
    command->add_flag("--in-process", options->suite.cases.inProcess,
                      "run the scenarios one after another in this process instead of a process each: no time "
                      "limit, no output captured, and an action that crashes ends the whole run")
        ->excludes(jobs)
        ->excludes(timeout);
    command->add_flag("--strict", options->suite.cases.strict,
                      "fail a scenario that gives a parameter its action never reads on any path (a misspelt name, "
                      "most often) or a fault that fired at no call; for a library given by path, any parameter "
                      "not read in the run");
    addNoColourOption(command, options->suite.noColour);
    command->add_option("--filter", options->suite.filter,
                        "only the scenario files of a folder whose path below it matches the glob (\"*\" stops at "
                        "\"/\", \"**\" does not); a file named on the command line always runs");
    command->add_option("--exclude", options->suite.exclude,
                        "leave out the scenario files of a folder whose path below it matches the glob; may be "
                        "given more than once")
        ->allow_extra_args(false);
    command->add_option("--junit", options->suite.junit, "also write the outcome as JUnit XML to this file");
    command->add_option("--no-tests", options->noTests,
                        "when no scenario ran (none found, all filtered out or all without an \"expect\" block): "
                        "error, exit status 5 (the default), or ignore, exit status 0")
        ->check(CLI::IsMember({"error", "ignore"}));
    command->add_flag("--update{all}", options->updateWord,
                      "write the observed outcome into the \"expect\" block of each failing scenario (its keys "
                      "kept, no other byte of the file changed) and of those without one; --update=new: only the "
                      "latter; not with --strict or --fault-sweep")
        ->check(CLI::IsMember({"all", "new"}))
        ->option_text("[=new]");
    command->callback([options, self, &chosen] {
        options->suite.cases.self = self;
        options->suite.noTestsIsError = options->noTests == "error";
        options->suite.update = options->updateWord.empty()
                                    ? SuiteOptions::NoUpdate
                                    : (options->updateWord == "new" ? SuiteOptions::UpdateNew
                                                                    : SuiteOptions::UpdateFailing);
        chosen = [options] {
            // An update writes what one plain run did; it cannot stand for what
            // the other two check, which would then fail on the next run.
            if (options->suite.update != SuiteOptions::NoUpdate && options->suite.cases.strict)
                throw UsageError("--update cannot be given with --strict: the block it writes holds what the run did, "
                                 "not what --strict checks; update, then run with --strict");
            if (options->suite.update != SuiteOptions::NoUpdate && options->suite.cases.faultSweep)
                throw UsageError("--update cannot be given with --fault-sweep: a sweep writes no expect block; update, "
                                 "then sweep");
            return runSuite(options->suite);
        };
    });
}

} // namespace actionhost
