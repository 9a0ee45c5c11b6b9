# CQ_SANITIZE=address builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# CQ_SANITIZE=thread with ThreadSanitizer; each in a build folder of its own.
if(CQ_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(CQ_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT CQ_SANITIZE STREQUAL "")
  message(FATAL_ERROR "CQ_SANITIZE must be empty, address or thread")
endif()
