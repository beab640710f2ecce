// Where the station works. --station DIR names it. Without the option the current
// directory serves when it holds setup.ini; otherwise the per-user station does, made
// from the installed example on the first start. Without an installed example (a
// build tree) the current directory serves as it is.
#pragma once

#include <optional>
#include <string>

namespace vantu {

struct StationDirectory {
    std::string path;   // empty when refused; error says why
    bool made = false;  // the per-user station was made from the example just now
    std::string error;
};

struct StationPlaces {
    std::string current;   // the working directory
    std::string per_user;  // $XDG_DATA_HOME/vantu/station
    std::string example;   // the installed example station
};

StationDirectory ChooseStationDirectory(const std::optional<std::string>& option,
                                        const StationPlaces& places);

}  // namespace vantu
