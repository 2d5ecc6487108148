# Writes LICENSE in Debian's machine-readable copyright format, at every build
# that finds LICENSE changed: cmake -DLICENSE=<in> -DCOPYRIGHT=<out> -P copyright.cmake
# The text is LICENSE's, each line indented and a blank line written as " .".
file(READ ${LICENSE} licence)
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " licence " ${licence}")
file(WRITE ${COPYRIGHT}
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: wrd\n\n"
     "Files: *\n"
     "Copyright: 2026 The wrd authors\n"
     "License: Expat\n${licence}\n")
