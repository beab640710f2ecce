#include "gui/station_directory.h"

#include <filesystem>
#include <system_error>

namespace vantu {
namespace {

namespace fs = std::filesystem;

StationDirectory At(std::string path, bool made = false) {
    return {std::move(path), made, {}};
}

StationDirectory Refused(std::string why) {
    return {{}, false, std::move(why)};
}

bool HasSettings(const std::string& dir) {
    std::error_code error;
    return fs::is_regular_file(fs::path(dir) / "setup.ini", error);
}

StationDirectory Named(const std::string& dir) {
    std::error_code error;
    if (!fs::is_directory(dir, error)) {
        return Refused("station directory " + dir + ": not a directory");
    }
    return At(fs::absolute(dir, error).string());
}

// Copies the example next to its final place and renames it there, so an interrupted
// copy never leaves a half-made station behind.
StationDirectory MakePerUser(const StationPlaces& places) {
    const fs::path target(places.per_user);
    const fs::path partial = target.string() + ".new";
    std::error_code ignored;
    fs::remove_all(partial, ignored);
    fs::create_directories(target.parent_path(), ignored);
    std::error_code error;
    fs::copy(places.example, partial, fs::copy_options::recursive, error);
    if (!error) {
        fs::rename(partial, target, error);
    }
    if (error) {
        fs::remove_all(partial, ignored);
        return Refused("cannot make the station " + places.per_user + " from " + places.example +
                       ": " + error.message());
    }
    return At(places.per_user, true);
}

}  // namespace

StationDirectory ChooseStationDirectory(const std::optional<std::string>& option,
                                        const StationPlaces& places) {
    if (option) {
        return Named(*option);
    }
    if (HasSettings(places.current) || HasSettings(places.per_user)) {
        return At(HasSettings(places.current) ? places.current : places.per_user);
    }
    if (!HasSettings(places.example)) {
        return At(places.current);
    }
    return MakePerUser(places);
}

}  // namespace vantu
