# Writes OUTPUT, a header that holds the C++ that the page shows (page.html's
# <pre id="code">, its tags dropped and its entities read), for page_code.cpp.
# usage: cmake -DPAGE=page.html -DOUTPUT=file -P page_code.cmake
cmake_minimum_required(VERSION 3.25)
file(READ "${PAGE}" page)
string(FIND "${page}" "<pre id=\"code\"" start)
if(start EQUAL -1)
    message(FATAL_ERROR "${PAGE} shows no code in <pre id=\"code\">")
endif()
string(SUBSTRING "${page}" ${start} -1 code)
string(FIND "${code}" "</pre>" end)
string(SUBSTRING "${code}" 0 ${end} code)
string(REGEX REPLACE "<[^>]*>" "" code "${code}")
string(REPLACE "&lt;" "<" code "${code}")
string(REPLACE "&gt;" ">" code "${code}")
string(REPLACE "&amp;" "&" code "${code}")
file(WRITE "${OUTPUT}.new" "// Made by page_code.cmake from the code that page.html shows.\n${code}\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
