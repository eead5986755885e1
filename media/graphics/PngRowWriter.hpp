#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

struct png_struct_def;
struct png_info_def;

// A PNG file of RGBA rows written one row at a time, so that a large picture is encoded without
// ever being held whole. Writes at path as it stands (the caller picks a temporary name when it
// needs one); a file it made and left unfinished is removed when the writer goes.
class PngRowWriter {
  public:
    // Creates the file and writes the header of a width x height RGBA picture (both above 0);
    // Ok() says whether that worked.
    PngRowWriter(const std::string& path, int width, int height);
    ~PngRowWriter();
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;

    bool Ok() const { return !failed_; }
    // Appends the next row: width * 4 bytes, R G B A. False once anything failed or when every
    // row was already written.
    bool WriteRow(const std::uint8_t* rgba);
    // After the last row: ends the picture and closes the file. True when all height rows went
    // into a file that was closed whole; otherwise the file is removed.
    bool Finish();

  private:
    bool begin(int width, int height);
    bool writeRow(const std::uint8_t* rgba);
    bool end();
    void abandon();

    std::string path_;
    std::FILE* file_ = nullptr;
    png_struct_def* png_ = nullptr;
    png_info_def* info_ = nullptr;
    int rowsLeft_ = 0;
    bool failed_ = false;
    bool created_ = false; // the file was not there before
};
