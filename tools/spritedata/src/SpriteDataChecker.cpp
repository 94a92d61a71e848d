#include "SpriteDataChecker.h"

#include <algorithm>
#include <set>

using namespace spritedata;

namespace {

bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

std::string Number(size_t value) { return std::to_string(value); }

size_t ModuleTotal(const Definition& definition) {
    return definition.imageModules.size() + definition.rectModules.size();
}

// -1, or an index of a table of `count` entries.
bool IsOptionalIndex(int8_t index, size_t count) {
    return index == kNone || (index >= 0 && static_cast<size_t>(index) < count);
}

bool CheckSlotsAndModules(const Definition& definition, std::string* error) {
    for (size_t b = 0; b < definition.blocks.size(); ++b) {
        if (definition.blocks[b].size() != SpriteDataChecker::kPaletteBlockSize) {
            return Fail(error, "data block " + Number(b) + " is not a palette of 1024 bytes");
        }
    }
    for (size_t s = 0; s < definition.slots.size(); ++s) {
        if (!IsOptionalIndex(definition.slots[s].blockIndex, definition.blocks.size())) {
            return Fail(error, "image slot " + Number(s) + " names a data block that does not exist");
        }
    }
    for (size_t m = 0; m < definition.imageModules.size(); ++m) {
        const ImageModule& module = definition.imageModules[m];
        if (module.slotIndex >= definition.slots.size()) {
            return Fail(error, "image module " + Number(m) + " names slot " + Number(module.slotIndex));
        }
        if (module.variant > SpriteDataChecker::kMaxVariant) {
            return Fail(error, "image module " + Number(m) + " has variant " + Number(module.variant));
        }
    }
    return true;
}

bool CheckMaps(const Definition& definition, std::string* error) {
    const size_t total = ModuleTotal(definition);
    for (size_t k = 0; k < definition.maps.size(); ++k) {
        const ModuleMap& map = definition.maps[k];
        for (size_t e = 0; e < map.size(); ++e) {
            if (map[e].module >= total || map[e].replacement >= total) {
                return Fail(error, "module map " + Number(k) + " entry " + Number(e) + " names no module");
            }
            if (e > 0 && map[e].module <= map[e - 1].module) {
                return Fail(error, "module map " + Number(k) + " is not sorted by module at entry " + Number(e));
            }
        }
    }
    return true;
}

bool CheckPictures(const Definition& definition, const SpriteSet& set, std::string* error) {
    const size_t total = ModuleTotal(definition);
    for (size_t f = 0; f < set.frames.size(); ++f) {
        for (const Part& part : set.frames[f]) {
            if (part.module >= total) return Fail(error, "frame " + Number(f) + " uses module " + Number(part.module));
        }
    }
    for (size_t p = 0; p < set.poses.size(); ++p) {
        for (const PoseEntry& entry : set.poses[p]) {
            if (entry.frame >= set.frames.size()) {
                return Fail(error, "pose " + Number(p) + " shows frame " + Number(entry.frame));
            }
        }
    }
    return true;
}

bool CheckAnimations(const SpriteSet& set, std::string* error) {
    for (size_t a = 0; a < set.animations.size(); ++a) {
        const Animation& animation = set.animations[a];
        if (animation.frames.empty()) return Fail(error, "animation " + Number(a) + " has no frame");
        uint32_t totalMs = 0;
        for (const AnimationFrame& frame : animation.frames) {
            if (frame.pose >= set.poses.size()) {
                return Fail(error, "animation " + Number(a) + " shows pose " + Number(frame.pose));
            }
            if (frame.duration > kMaxDuration) {
                return Fail(error, "animation " + Number(a) + " has a frame longer than 65530 ms");
            }
            totalMs += frame.duration * 10u;
        }
        if (totalMs >= SpriteDataChecker::kDurationLimitMs) {
            return Fail(error, "animation " + Number(a) + " lasts 65536 ms or more");
        }
    }
    return true;
}

bool CheckSprites(const Definition& definition, const SpriteSet& set, std::string* error) {
    for (size_t s = 0; s < set.sprites.size(); ++s) {
        const Sprite& sprite = set.sprites[s];
        if (!IsOptionalIndex(sprite.moduleMapIndex, definition.maps.size())) {
            return Fail(error, "sprite " + Number(s) + " names a module map that does not exist");
        }
        const std::vector<uint16_t> drawn =
            SpriteDataChecker::DrawnImageModules(definition, set, sprite.moduleMapIndex);
        for (uint16_t module : drawn) {
            if (std::find(sprite.imageModules.begin(), sprite.imageModules.end(), module) ==
                sprite.imageModules.end()) {
                return Fail(error, "sprite " + Number(s) + " draws image module " + Number(module) +
                                       " without holding it");
            }
        }
    }
    return true;
}

}  // namespace

bool SpriteDataChecker::CheckDefinition(const Definition& definition, std::string* error) {
    return CheckSlotsAndModules(definition, error) && CheckMaps(definition, error);
}

bool SpriteDataChecker::CheckSet(const Definition& definition, const SpriteSet& set, std::string* error) {
    return CheckPictures(definition, set, error) && CheckAnimations(set, error) &&
           CheckSprites(definition, set, error);
}

bool SpriteDataChecker::Check(const Definition& definition, const std::vector<SpriteSet>& sets,
                              std::string* error) {
    if (!CheckDefinition(definition, error)) return false;
    if (sets.size() > definition.setCount) return Fail(error, "more sprite sets than the definition counts");
    for (size_t s = 0; s < sets.size(); ++s) {
        if (!CheckSet(definition, sets[s], error)) {
            *error = "sprite set " + Number(s) + ": " + *error;
            return false;
        }
    }
    return true;
}

std::vector<uint16_t> SpriteDataChecker::DrawnImageModules(const Definition& definition, const SpriteSet& set,
                                                           int8_t moduleMapIndex) {
    const ModuleMap* map = IsOptionalIndex(moduleMapIndex, definition.maps.size()) && moduleMapIndex != kNone
                               ? &definition.maps[static_cast<size_t>(moduleMapIndex)]
                               : nullptr;
    std::set<uint16_t> drawn;
    auto note = [&](uint16_t module) {
        if (module < definition.imageModules.size()) drawn.insert(module);
    };
    for (const Frame& frame : set.frames) {
        for (const Part& part : frame) {
            const MapEntry* entry = nullptr;
            if (map != nullptr) {
                for (const MapEntry& candidate : *map) {
                    if (candidate.module == part.module) entry = &candidate;
                }
            }
            if (entry == nullptr || entry->mode != kMapReplace) note(part.module);
            if (entry != nullptr) note(entry->replacement);
        }
    }
    return std::vector<uint16_t>(drawn.begin(), drawn.end());
}
