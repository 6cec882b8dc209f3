// Off Windows the libraries' platform layer runs stand-ins configured by
// environment variables; the world sets them for its lifetime.
#include "hosting/ActionLibrary.h"
#include "hosting/World.h"

#include <Poco/FileStream.h>
#include <Poco/TemporaryFile.h>

#include <cstdlib>
#include <mutex>
#include <stdexcept>

namespace hosting {

namespace {

std::mutex activeGuard;
bool active = false;

// Sets an environment variable and restores it at destruction.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name)
    {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_)
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (had_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

} // namespace

class SimulatedWorld::Impl {
public:
    explicit Impl(const WorldModel& world)
    {
        if (world.hasDrives)
            drives_.reset(new ScopedEnvironment("VANTOREL_DRIVES", world.drives));
        // Without a block the stand-in's registry is empty, whatever the
        // caller's environment names.
        std::string registryPath;
        if (world.hasRegistry) {
            registryFile_.reset(new Poco::TemporaryFile);
            registryPath = registryFile_->path();
            Poco::FileOutputStream out(registryPath, std::ios::binary | std::ios::trunc);
            out << world.registry;
            out.close();
            if (!out.good())
                throw std::runtime_error("cannot write the simulated registry to " + registryPath);
        }
        registry_.reset(new ScopedEnvironment("COBRINTH_REGISTRY", registryPath));
        // Set either way, so that the caller's environment does not decide.
        commandProcessor_.reset(
            new ScopedEnvironment("VANTOREL_COMMAND_PROCESSOR", world.commandProcessor ? "" : "none"));
    }

private:
    std::unique_ptr<Poco::TemporaryFile> registryFile_;
    std::unique_ptr<ScopedEnvironment> drives_;
    std::unique_ptr<ScopedEnvironment> registry_;
    std::unique_ptr<ScopedEnvironment> commandProcessor_;
};

SimulatedWorld::SimulatedWorld(const ActionLibrary*, const WorldModel& world)
{
    std::lock_guard<std::mutex> lock(activeGuard);
    if (active)
        throw std::logic_error("only one simulated world may live at a time");
    impl_.reset(new Impl(world));
    active = true;
}

SimulatedWorld::~SimulatedWorld()
{
    std::lock_guard<std::mutex> lock(activeGuard);
    impl_.reset();
    active = false;
}

void removeScratchRegistry(unsigned long) {}

} // namespace hosting
