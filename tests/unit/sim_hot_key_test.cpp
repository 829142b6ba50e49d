#include "platform/sim/sim_hot_key.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace zub;
using hotkey::kAlt;
using hotkey::kControl;
using hotkey::kKeyR;

namespace {
using Presses = std::vector<std::pair<unsigned, unsigned>>;
}

TEST(SimHotKey, AtomsAreStablePerNameWhateverTheCase) {
    SimHotKey hotKey;
    const std::uint16_t atom = hotKey.addAtom("hotkey");
    EXPECT_GE(atom, 0xC000);
    EXPECT_EQ(hotKey.addAtom("HotKey"), atom);
    EXPECT_NE(hotKey.addAtom("other"), atom);
}

TEST(SimHotKey, PressesReachTheHandlerOfThatExactCombination) {
    SimHotKey hotKey;
    Presses presses;
    const std::uint16_t id = hotKey.addAtom("hotkey");
    ASSERT_TRUE(hotKey.registerHotKey(id, kControl, kKeyR,
                                      [&](unsigned m, unsigned k) { presses.emplace_back(m, k); }));
    EXPECT_TRUE(hotKey.isRegistered(kControl, kKeyR));

    EXPECT_TRUE(hotKey.press(kControl, kKeyR));
    EXPECT_FALSE(hotKey.press(kControl | kAlt, kKeyR));
    EXPECT_FALSE(hotKey.press(kControl, 'S'));
    // The raw message carries whatever it carries; the program has to look.
    hotKey.deliver(id, kAlt, 'S');
    EXPECT_EQ(presses, (Presses{{kControl, kKeyR}, {kAlt, 'S'}}));

    // One combination, one owner.
    EXPECT_FALSE(hotKey.registerHotKey(hotKey.addAtom("again"), kControl, kKeyR, {}));

    hotKey.unregisterHotKey(id);
    EXPECT_FALSE(hotKey.isRegistered(kControl, kKeyR));
    EXPECT_FALSE(hotKey.press(kControl, kKeyR));
    hotKey.deliver(id, kControl, kKeyR);
    EXPECT_EQ(presses.size(), 2u);
}

TEST(SimHotKey, ACombinationTakenByAnotherProgramCannotBeHad) {
    SimHotKey hotKey;
    hotKey.takeByOtherProgram(kControl, kKeyR);
    int calls = 0;
    EXPECT_FALSE(hotKey.registerHotKey(hotKey.addAtom("hotkey"), kControl, kKeyR,
                                       [&](unsigned, unsigned) { ++calls; }));
    EXPECT_FALSE(hotKey.isRegistered(kControl, kKeyR));
    EXPECT_FALSE(hotKey.press(kControl, kKeyR));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(hotKey.registerHotKey(hotKey.addAtom("other"), kAlt, kKeyR, {}));
}
