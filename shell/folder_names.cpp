#include "shell/folder_names.hpp"

#include <set>

namespace shell {
namespace {

constexpr char kTagJoin = '_';

std::string caseFolded(std::string name)
{
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

}  // namespace

std::vector<std::string> distinctFolderNames(std::span<const std::string> ownNames,
                                             std::span<const std::string> tags)
{
    std::vector<std::string> names(ownNames.begin(), ownNames.end());
    std::set<std::string> taken;
    std::vector<bool> keeps;
    for (const std::string& name : names)
        keeps.push_back(taken.insert(caseFolded(name)).second);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (keeps[i])
            continue;
        const std::string tagged = names[i] + kTagJoin + tags[i];
        std::string name = tagged;
        for (int again = 2; !taken.insert(caseFolded(name)).second; ++again)
            name = tagged + kTagJoin + std::to_string(again);
        names[i] = name;
    }
    return names;
}

}  // namespace shell
