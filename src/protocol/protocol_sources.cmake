# The instrument protocol: framing and interpretation of replies, the read-back of recorded
# data, the command set. Listed here once for the core library and the fuzz build.
set(TELVANE_PROTOCOL_SOURCES
    protocol/commands.cpp protocol/commands.h
    protocol/decimal_text.cpp protocol/decimal_text.h
    protocol/format_reading.cpp protocol/format_reading.h
    protocol/framing.cpp
    protocol/interpret_rx.cpp protocol/interpret_rx.h
    protocol/reading_step.cpp
    protocol/reading_time.cpp protocol/reading_time.h
    protocol/recall_step.cpp protocol/recall_step.h
    protocol/rx_sink.h
    protocol/split_reading.cpp protocol/split_reading.h
)
