#include "console/l18n.h"

#include <clocale>
#include <cstdlib>
#include <memory>

#include "util/strings.h"

namespace l18n {

namespace {

constexpr const char* kTextDomain = "vorluneforge";
// The catalogues the build compiles into the source tree, used when the
// program is started from there.
constexpr const char* kCatalogueDir = "./locale";
// The build links them beside the program it makes, so that the program of
// a build folder finds its own catalogues from any folder.
constexpr const char* kBuildCatalogueDirFromProgram = "locale";
// Where an installation keeps them, relative to the program's own folder,
// so that an installation copied to another prefix still finds them; and
// where the build was told they go, should the program not be in <prefix>/bin.
#ifdef VLF_LOCALEDIR_FROM_BINDIR
constexpr const char* kInstalledCatalogueDirFromProgram = VLF_LOCALEDIR_FROM_BINDIR;
#else
constexpr const char* kInstalledCatalogueDirFromProgram = "../share/locale";
#endif
#ifdef VLF_LOCALEDIR
constexpr const char* kInstalledCatalogueDir = VLF_LOCALEDIR;
#else
constexpr const char* kInstalledCatalogueDir = kCatalogueDir;
#endif

// The absolute name of `path` with every link resolved, or "" when there is
// no such file.
std::string resolvedPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// Resolving "<path>/." succeeds only for a folder.
bool isFolder(const std::string& path) { return !resolvedPath(path + "/.").empty(); }

std::string catalogueDir() {
    const std::string program = resolvedPath("/proc/self/exe");
    const std::string programDir = program.substr(0, program.rfind('/') + 1);
    const std::string built = programDir + kBuildCatalogueDirFromProgram;
    if (!program.empty() && isFolder(built)) return resolvedPath(built);
    if (isFolder(kCatalogueDir)) return kCatalogueDir;
    const std::string installed = programDir + kInstalledCatalogueDirFromProgram;
    if (!program.empty() && isFolder(installed)) return resolvedPath(installed);
    return kInstalledCatalogueDir;
}

}  // namespace

void localization::initLocale() {
    std::setlocale(LC_ALL, "");
    bindtextdomain(kTextDomain, catalogueDir().c_str());
    textdomain(kTextDomain);
}

std::string translated(const Message& message) { return message.render(gettext); }

std::string translated(const char* id, std::vector<Message> args) {
    return translated(Message::text(id, std::move(args)));
}

std::string errorText(const std::exception& e) {
    const auto* own = dynamic_cast<const forge_exception*>(&e);
    if (own == nullptr) return visibleText(e.what());
    return own->render(gettext);
}

}  // namespace l18n
