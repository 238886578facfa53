// The dataset file (.obd): the coordinates, normalisations, points and point styles of a
// dataset.
#pragma once

#include "data/TData.h"

#include <string>
#include <vector>

namespace orbelin::data {

class TRWFile;

/// Writes data to BaseName(name) + ".obd" in the working directory. Raises TError when
/// the dataset has no table or the file cannot be written.
void SaveDataset(const TData& data, const std::string& name);
/// Writes data to exactly that path.
void WriteDatasetFile(const TData& data, const std::string& path);

/// Reads BaseName(name) + ".obd" from the working directory, or the embedded resource
/// BaseName(name) + ".OBD"; Name := BaseName(name). The existing maps are freed first.
/// Point styles go into data.Table's records when a table is set. When choices is given,
/// it receives the field choices of data.Table (use flags, and the four flags of the
/// coordinate of the same name). Returns false on any error, keeping what was read so
/// far; error, when given, receives the message.
bool LoadDataset(TData& data, const std::string& name, bool fromResource,
                 std::vector<TFieldChoice>* choices = nullptr, std::string* error = nullptr);
/// Reads the dataset sections of an open file into data; raises TError.
void ReadDataset(TData& data, TRWFile& file, std::vector<TFieldChoice>* choices = nullptr);

/// The table name a dataset file records in its "# TABLENAME" section; raises TError when
/// the file cannot be opened or has no such section.
std::string DatasetTableName(const std::string& path);

/// Loads a dataset file on its own: finds the table file named in "# TABLENAME" in the
/// dataset file's folder (letter case of the name ignored if no exact match), loads it
/// into table, then reads the dataset against it with Name := BaseName(path) and
/// data.Table := &table. Raises TError naming the file and the problem.
void LoadDatasetWithTable(const std::string& path, TData& data, TDataTable& table,
                          std::vector<TFieldChoice>* choices = nullptr);

} // namespace orbelin::data
