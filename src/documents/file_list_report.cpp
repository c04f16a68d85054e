#include "documents/file_list_report.h"

#include "frame/text.h"
#include "inc/narrow_text.h"
#include "webinteractive/status.h"

namespace wi::documents {

using frame::FillIn;
using inc::NarrowFromUtf8;

FileListReport::FileListReport()
    : listLine_(NarrowFromUtf8("正在创建软件列表信息...%s")),      // creating software list information
      baseLine_(NarrowFromUtf8("正在创建软件基本信息...%s")),      // creating software base information
      fileLine_(NarrowFromUtf8("正在创建文件信息...%s")),          // creating file information
      dependenceLine_(NarrowFromUtf8("正在创建依赖文件信息...%s")),  // creating dependence information
      configLine_(NarrowFromUtf8("正在创建配置信息...%s")),        // creating configuration information
      softwareTexts_{
          NarrowFromUtf8("软件正常"),              // intact
          NarrowFromUtf8("软件被修改"),            // modified
          NarrowFromUtf8("软件被破坏"),            // damaged
          NarrowFromUtf8("软件可升级"),            // an upgrade is available
          NarrowFromUtf8("软件被升级到新的版本"),  // upgraded to a new version
      },
      fileIntactText_(NarrowFromUtf8("文件%s 正常")),
      fileBitTexts_{
          NarrowFromUtf8("文件%s 被修改"),                // 0x01 modified
          NarrowFromUtf8("文件%s 被破坏"),                // 0x02 damaged
          NarrowFromUtf8("文件%s 缺少依赖文件"),          // 0x04 a dependence is missing
          NarrowFromUtf8("文件%s 依赖文件缺少需要的函数"),  // 0x08 a dependence lacks a function
          NarrowFromUtf8("文件%s 没有注册"),              // 0x10 not registered
          NarrowFromUtf8("文件%s 可升级"),                // 0x20 an upgrade is available
          NarrowFromUtf8("文件%s 被删除"),                // 0x40 deleted
          NarrowFromUtf8("文件%s 被升级到新的版本"),      // 0x80 upgraded to a new version
      } {}

void FileListReport::RecordReached(const ISoftInfoInc::_SoftInfo& soft) {
    IHelperInc::MakeStatus(listLine_.c_str(), soft.GUID.c_str());
}

void FileListReport::SoftwareSettled(const ISoftInfoInc::_SoftInfo& soft) {
    IHelperInc::MakeStatus(baseLine_.c_str(), soft.GUID.c_str());
}

void FileListReport::VersionStarted(const ISoftInfoInc::_SoftInfo& soft) {
    entry_.guid = soft.GUID;
    entry_.special_code = soft.special_code;
    if (soft.analyse_result >= 0 &&
        static_cast<std::size_t>(soft.analyse_result) < softwareTexts_.size()) {
        entry_.result = softwareTexts_[static_cast<std::size_t>(soft.analyse_result)];
    }
}

void FileListReport::FileReached(const IFileInfoInc::_FileInfo& file) {
    IHelperInc::MakeStatus(fileLine_.c_str(), file.SetupPath.c_str());
    entry_.AddDetail(FileAnalysisText(file));
}

void FileListReport::DependenceReached(const IDepInfoInc::_DepInfo& dependence) {
    IHelperInc::MakeStatus(dependenceLine_.c_str(), dependence.SetupPath.c_str());
}

void FileListReport::ConfigReached(const IConfInfoInc::_ConfInfo& config) {
    IHelperInc::MakeStatus(configLine_.c_str(), config.Key.c_str());
}

void FileListReport::VersionFinished(const ISoftInfoInc::_SoftInfo&) {
    entry_.Save();
}

std::string FileListReport::FileAnalysisText(const IFileInfoInc::_FileInfo& file) const {
    const unsigned bits = static_cast<unsigned>(file.analyse_result);
    const std::string* format = nullptr;
    if (bits == 0) {
        format = &fileIntactText_;
    }
    for (std::size_t bit = 0; bit < fileBitTexts_.size(); ++bit) {
        if (bits & (1u << bit)) {
            format = &fileBitTexts_[bit];
        }
    }
    return format != nullptr ? FillIn(*format, file.LocalPath) : std::string();
}

}  // namespace wi::documents
