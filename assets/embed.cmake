# Turns one binary file into the body of a C array initializer: "0x89,0x50,...", 24 bytes a
# line. Run as `cmake -DIN=file -DOUT=file -P embed.cmake`; the output holds nothing but the
# bytes, so it is the same wherever the tree and the build folder lie.
file(READ "${IN}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}.tmp" "${bytes}\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
