// Root entries of any names and attribute bits, storage cards of any size, and any stored card
// name (one of the entries, another letter case, something else, or a field without a terminator),
// through the card enumeration and the storage-card reading.
//
// Checked against the root as the platform lists it: the card list holds the first five entries
// with both the directory and the temporary bit, in order, terminated; slots past the count keep
// what they held; the reading is "no card" without a card in the root, else the named volume's
// exact percentage (0..100) or "no card" when the name finds nothing; every search handle is closed.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "file_system.h"
#include "handles.h"
#include "indicators/readings.h"
#include "settings/settings_record.h"
#include "tests/fuzz/fuzz_device.h"
#include "world.h"

namespace {

DWORD attributes(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: return FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
        case 1: return FILE_ATTRIBUTE_DIRECTORY;
        case 2: return FILE_ATTRIBUTE_TEMPORARY | in.ConsumeIntegral<uint8_t>();
        default: return in.ConsumeIntegral<DWORD>();
    }
}

uint64_t byteCount(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
        case 0: return in.ConsumeIntegral<uint32_t>();
        case 1: return in.ConsumeIntegral<uint64_t>() >> in.ConsumeIntegralInRange(0, 63);
        default: return in.ConsumeIntegral<uint64_t>();
    }
}

// The percentage a reading never lies about: free * 100 / total exactly (in 128 bits, so that no
// size of card overflows it), truncated; more free space than the total reads as 100, and a
// total of 0 (which no working card reports) as 0.
int32_t cardPercentOf(uint64_t freeBytes, uint64_t total) {
    if (total == 0) return 0;
    if (freeBytes >= total) return 100;
    return static_cast<int32_t>(static_cast<unsigned __int128>(freeBytes) * 100 / total);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    fuzz::freshDevice();
    sim::fileSystem().reset();  // only the scenario's own root entries
    sim::world().device.storageFree = in.ConsumeIntegral<uint32_t>();
    sim::world().device.storageTotal = in.ConsumeIntegral<uint32_t>();

    std::vector<std::u16string> made;
    int entries = in.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < entries; ++i) {
        // Names up to the platform's longest, 259 units; a backslash would name a path.
        std::u16string name = fuzz::text(in, in.ConsumeBool() ? 12 : 259);
        std::replace(name.begin(), name.end(), u'\\', u'_');
        std::replace(name.begin(), name.end(), u'/', u'_');
        if (name.empty()) continue;
        if (in.ConsumeBool()) {
            sim::fileSystem().insertCard(name, byteCount(in), byteCount(in));
        } else {
            sim::fileSystem().addRootEntry(name, attributes(in));
        }
        made.push_back(name);
    }

    // The stored name: an entry's, another case of it, anything, or the whole field unterminated.
    settings = defaultSettings();
    std::u16string stored;
    int nameKind = in.ConsumeIntegralInRange(0, 4);
    if (nameKind <= 1 && !made.empty()) {
        stored = made[in.ConsumeIntegralInRange<size_t>(0, made.size() - 1)];
        if (nameKind == 1) {
            for (char16_t& c : stored) {
                if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
                else if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
            }
        }
    } else if (nameKind == 4) {
        stored = fuzz::text(in, StorageCardNameUnits);
        stored.resize(StorageCardNameUnits, u'x');
    } else {
        stored = fuzz::text(in, 40);
    }
    std::copy(stored.begin(), stored.end(), settings.storageCardName);
    if (stored.size() < StorageCardNameUnits) settings.storageCardName[stored.size()] = 0;

    // The root as the platform lists it; the cards among its entries, up to five.
    std::vector<std::u16string> cards;
    for (auto& entry : sim::fileSystem().root()->children) {
        const DWORD card = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;
        if ((entry->attributes & card) == card && cards.size() < CardListCapacity) cards.push_back(entry->name);
    }

    // Slots keep what earlier enumerations left in them.
    for (int slot = 0; slot < CardListCapacity; ++slot) {
        for (int k = 0; k < CardNameUnits; ++k) cardList[slot][k] = static_cast<WCHAR>(0x5000 + slot);
        cardList[slot][CardNameUnits - 1] = 0;
    }
    int count = enumerateStorageCards();
    FUZZ_CHECK(count == static_cast<int>(cards.size()), "the count of card entries, at most five");
    for (int slot = 0; slot < CardListCapacity; ++slot) {
        if (slot < count) {
            FUZZ_CHECK(std::find(cardList[slot], cardList[slot] + CardNameUnits, 0) != cardList[slot] + CardNameUnits,
                       "a listed name is terminated in its slot");
            FUZZ_CHECK(std::u16string(cardList[slot]) == cards[static_cast<size_t>(slot)],
                       "slot " + std::to_string(slot) + " holds the card " + fuzz::printable(cards[static_cast<size_t>(slot)]));
        } else {
            FUZZ_CHECK(cardList[slot][0] == static_cast<WCHAR>(0x5000 + slot), "a slot past the count is left alone");
        }
    }
    FUZZ_CHECK(sim::liveKernelObjects() == 0, "the search is closed");

    IndicatorReading reading = measureIndicator(StorageCard);
    FUZZ_CHECK(reading.kind == StorageCard, "a storage-card reading");
    // The name the reading asks about: the stored text up to its terminator or the field's end.
    std::u16string asked(settings.storageCardName,
                         std::find(settings.storageCardName, settings.storageCardName + StorageCardNameUnits, 0));
    sim::FileNode* node = count == 0 ? nullptr : sim::fileSystem().find(asked);
    if (node == nullptr) {
        FUZZ_CHECK(reading.statusIcon == NoCardIcon, "no card in the root, or no volume by that name: no card");
    } else {
        sim::FileNode* volume = node;
        while (volume != nullptr && !volume->isCard) volume = volume->parent;
        uint64_t freeBytes = volume ? volume->cardFree : sim::world().device.storageFree;
        uint64_t total = volume ? volume->cardTotal : sim::world().device.storageTotal;
        FUZZ_CHECK(reading.statusIcon == NoStatusIcon, "a named volume is measured");
        FUZZ_CHECK(reading.percent == cardPercentOf(freeBytes, total), "the volume's exact percentage");
        FUZZ_CHECK(reading.percent >= 0 && reading.percent <= 100, "a percentage of 0..100");
    }
    FUZZ_CHECK(sim::liveKernelObjects() == 0, "the reading's search is closed");
    return 0;
}
