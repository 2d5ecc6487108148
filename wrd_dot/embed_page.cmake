# Writes OUTPUT, a header that holds the page (page.html with page.css and
# page.js put in its place) as one string, kPage, for write_html.cpp.
# usage: cmake -DSOURCE=dir -DOUTPUT=file -P embed_page.cmake
cmake_minimum_required(VERSION 3.25)
file(READ "${SOURCE}/page.html" page)
file(READ "${SOURCE}/page.css" css)
file(READ "${SOURCE}/page.js" script)
string(REPLACE "/* page.css */\n" "${css}" page "${page}")
string(REPLACE "// page.js\n" "${script}" page "${page}")
string(FIND "${page}" ")page\"" clash)
if(NOT clash EQUAL -1)
    message(FATAL_ERROR "the page holds )page\", which would end its string")
endif()
file(WRITE "${OUTPUT}.new" "// Made by embed_page.cmake from page.html, page.css and page.js.\n"
                           "#pragma once\ninline constexpr char kPage[] = R\"page(${page})page\";\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
