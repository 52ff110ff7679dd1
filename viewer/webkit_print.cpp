#include "viewer/webkit_print.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <wx/webview.h>

#include <memory>

namespace tf::viewer {
namespace {

struct PrintJob {
  std::function<void(bool)> done;
  bool failed = false;
};

void OnFailed(WebKitPrintOperation*, GError*, gpointer data) {
  static_cast<PrintJob*>(data)->failed = true;
}

void OnFinished(WebKitPrintOperation* operation, gpointer data) {
  std::unique_ptr<PrintJob> job(static_cast<PrintJob*>(data));
  g_object_unref(operation);
  if (job->done) job->done(!job->failed);
}

}  // namespace

bool PrintToPdf(wxWebView& view, const std::string& path, std::function<void(bool)> done) {
  auto* web_view = static_cast<WebKitWebView*>(view.GetNativeBackend());
  if (!web_view) return false;
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  if (!uri) return false;
  GtkPrintSettings* settings = gtk_print_settings_new();
  gtk_print_settings_set_printer(settings, "Print to File");
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
  gtk_print_settings_set(settings, GTK_PRINT_SETTINGS_OUTPUT_URI, uri);
  g_free(uri);
  WebKitPrintOperation* operation = webkit_print_operation_new(web_view);
  webkit_print_operation_set_print_settings(operation, settings);
  g_object_unref(settings);
  auto* job = new PrintJob{std::move(done)};
  g_signal_connect(operation, "failed", G_CALLBACK(OnFailed), job);
  g_signal_connect(operation, "finished", G_CALLBACK(OnFinished), job);
  webkit_print_operation_print(operation);
  return true;
}

}  // namespace tf::viewer
