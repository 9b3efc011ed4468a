#!/usr/bin/env python3
"""Writes the scenarios whose lines are too long to keep by hand (long paths, long files,
many windows). Run it from this folder after changing it; the .scn files are committed."""

long_dir = "\\\\" + "a" * 250     # 251 units: no room for "\orvo.dat"
longest_dir = "\\\\" + "b" * 249  # 250 units: the longest that fits

with open("settings_file/install_dir_too_long.scn", "w") as f:
    f.write(f"""# An installation directory of 251 units leaves no room for "\\\\orvo.dat": no file is made at
# all, not even at a shortened path, and Orvo runs on its defaults.
registry HKCU "Software\\\\Marund\\\\Orvo" "InstallDir" sz "{long_dir}"
file "{long_dir}\\\\placeholder" ""
start
advance 2000
expect running yes
dump-file "{long_dir}\\\\orvo.dat"
dump-file "{long_dir}\\\\orvo.da"
""")

with open("settings_file/install_dir_longest.scn", "w") as f:
    f.write(f"""# The longest installation directory whose settings path fits: 250 units.
registry HKCU "Software\\\\Marund\\\\Orvo" "InstallDir" sz "{longest_dir}"
file "{longest_dir}\\\\placeholder" ""
start
expect file-size "{longest_dir}\\\\orvo.dat" 652
""")

with open("settings_file/all_ff_long_file.scn", "w") as f:
    f.write(f"""# A 1000-byte file of 0xFF: every field comes from its first 652 bytes. largeIcons -1 counts as
# small, iconX -1 puts the indicator at x = 100,
# refreshSeconds -1 is read as the default 2 (the indicator never stops), and the file stays as
# it was.
file "\\\\Program Files\\\\Marund\\\\Orvo\\\\orvo.dat" "{'FF' * 1000}"
start
expect file-size "\\\\Program Files\\\\Marund\\\\Orvo\\\\orvo.dat" 1000
pixels 99 5 18 1
send-close
expect running no
""")

with open("taskbar/three_hundred_windows.scn", "w") as f:
    lines = ["# With 300 programs the task menu lists 89 of them, so that no item carries another's id:",
             "# the last Close item is 540, Close All Tasks keeps 541 and closes every listed window."]
    for i in range(300):
        lines.append(f'window "P{i:03d}" "Prog"')
    lines += ["start", "tap 125 10", 'choose "Close" "P211"', "tap 125 10", "choose 541",
              "expect running yes"]
    f.write("\n".join(lines) + "\n")
