# cmake -DIN=... -DOUT=... -DVERSION=... -P help_version.cmake
file(READ ${IN} _text)
string(REPLACE "%QUARRY_VERSION%" "${VERSION}" _text "${_text}")
file(WRITE ${OUT}.tmp "${_text}")
file(RENAME ${OUT}.tmp ${OUT})
