# Writes a seeded random input script for a headless run of the game: what a
# restless player does in the menus and in the levels, FRAMES frames of 40 ms
# long. The same SEED always gives the same script, whatever the awk: the
# numbers come from our own generator (Park and Miller's minimal standard),
# not from the awk's rand().
#
#   awk -v SEED=1 -v FRAMES=20000 -f soak-input.awk > input.txt
#
# Keys that end the program (F4, the close event) are never sent, and every
# suspension is followed by its resumption, so that a run lasts its frames
# unless the player picks "quit" in the menus.

function next_random() {
    state = (state * 16807) % 2147483647
    return state
}

# A whole number from 0 to n - 1.
function below(n) { return next_random() % n }

function emit(event) { printf "%d %s\n", now, event }

function wait(least, most) { now += least + below(most - least + 1) }

function press(key) { emit("press " key) }

# Holds a key for a while; some taps of other keys may fall inside the hold.
function hold(key, least, most,    end, extra) {
    emit("down " key)
    end = now + least + below(most - least + 1)
    while (below(3) == 0) {
        wait(40, 400)
        if (now >= end) break
        extra = PLAY_TAPS[1 + below(PLAY_TAP_COUNT)]
        press(extra)
    }
    if (now < end) now = end
    emit("up " key)
}

# Mostly confirming and moving through the menus and dialogues. Going back
# (Esc, the right soft key) never comes during the first pictures, which it
# would end, and is rare later: from the main menu it asks whether to quit.
function menu_step(    roll) {
    roll = below(100)
    if (now < BOOT_MS) {
        press(roll < 60 ? "return" : roll < 85 ? "down" : "up")
        return
    }
    if (roll < 42) press("return")
    else if (roll < 58) press("down")
    else if (roll < 66) press("up")
    else if (roll < 72) press("left")
    else if (roll < 78) press("right")
    else if (roll < 83) press(below(2) == 0 ? "back" : "F2")
    else if (roll < 89) press("F1")
    else if (roll < 95) press(below(10))
    else emit("tap " below(480) " " below(640))
}

# Running, jumping and fighting, with the touch controls now and then.
function play_step(    roll, x, y) {
    roll = below(100)
    if (roll < 30) hold("right", 200, 3000)
    else if (roll < 40) hold("left", 200, 1500)
    else if (roll < 52) press("up")
    else if (roll < 67) press(below(2) == 0 ? "return" : "5")
    else if (roll < 72) hold("down", 100, 800)
    else if (roll < 76) press(below(2) == 0 ? "F6" : "F7")
    else if (roll < 80) press(below(2) == 0 ? "F8" : "F9")
    else if (roll < 92) {
        # The lower part of the screen, where the touch controls lie.
        x = below(480)
        y = 320 + below(320)
        emit("touch " x " " y)
        wait(40, 600)
        emit("move " below(480) " " (320 + below(320)))
        wait(40, 400)
        emit("release " x " " y)
    } else if (roll < 96) press(below(10))
    else menu_step()
}

# Rare events of the device around the game.
function device_step(    roll) {
    roll = below(100)
    if (roll < 40) emit("rotate")
    else if (roll < 80) {
        emit("suspend")
        wait(100, 2000)
        emit("resume")
    } else emit("power 0x400000")
}

BEGIN {
    if (SEED == "" || FRAMES == "") {
        print "soak-input.awk: SEED and FRAMES are required" > "/dev/stderr"
        exit 2
    }
    # The generator's state must lie in 1 .. 2^31 - 2.
    state = (SEED % 2147483646) + 1
    for (i = 0; i < 8; ++i) next_random()
    PLAY_TAP_COUNT = split("up return 5 up down", PLAY_TAPS, " ")
    # The run's length in milliseconds on the virtual clock.
    limit = FRAMES * 40
    now = 0
    # The first pictures and notices, the main menu and the level list.
    BOOT_MS = 12000
    while (now < BOOT_MS) {
        wait(300, 900)
        menu_step()
    }
    # Phases of a few seconds to a minute: the menus, playing, the device.
    while (now < limit) {
        phase = below(100)
        phase_end = now + 2000 + below(phase < 25 ? 8000 : 60000)
        while (now < phase_end && now < limit) {
            wait(40, phase < 25 ? 700 : 300)
            if (phase < 25) menu_step()
            else if (phase < 98) play_step()
            else device_step()
        }
    }
}
