#pragma once
// Function tables of the media libraries, filled at run time by TFFmpegLoader. Each
// library's functions are named once, in its list below; the headers supply only types.
// Call through the tables: ff::avcodec.avcodec_open2(...).
#define SDL_MAIN_HANDLED
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/cpu.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libavutil/time.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
#include <SDL2/SDL.h>
// libavdevice is never loaded by the program; its one entry point is declared here.
void avdevice_register_all(void);
}

#define VEXLO_AVUTIL_FUNCTIONS(X)                                                            \
    X(avutil_version) X(av_version_info) X(av_log) X(av_log_set_callback) X(av_log_set_level) \
    X(av_log_get_level) X(av_log_default_callback) X(av_malloc) X(av_mallocz) X(av_realloc)  \
    X(av_free) X(av_freep) X(av_strdup) X(av_strerror) X(av_dict_get) X(av_dict_set)        \
    X(av_dict_set_int) X(av_dict_free) X(av_dict_copy) X(av_dict_count) X(av_frame_alloc)    \
    X(av_frame_free) X(av_frame_unref) X(av_frame_ref) X(av_frame_move_ref)                  \
    X(av_frame_get_buffer) X(av_frame_make_writable) X(av_frame_clone)                       \
    X(av_frame_copy_props) X(av_rescale_q) X(av_rescale_q_rnd) X(av_rescale) X(av_rescale_rnd) \
    X(av_compare_ts) X(av_gcd) X(av_reduce) X(av_d2q) X(av_find_nearest_q_idx)               \
    X(av_get_pix_fmt) X(av_get_pix_fmt_name) X(av_pix_fmt_desc_get) X(av_get_sample_fmt)    \
    X(av_get_sample_fmt_name) X(av_get_bytes_per_sample) X(av_sample_fmt_is_planar)          \
    X(av_get_packed_sample_fmt) X(av_samples_alloc) X(av_samples_get_buffer_size)           \
    X(av_channel_layout_default) X(av_channel_layout_uninit) X(av_channel_layout_copy)      \
    X(av_channel_layout_describe) X(av_channel_layout_compare) X(av_opt_set)                 \
    X(av_opt_set_int) X(av_opt_set_double) X(av_opt_set_q) X(av_opt_set_bin) X(av_opt_find) \
    X(av_opt_get) X(av_opt_set_dict) X(av_opt_set_chlayout) X(av_opt_set_sample_fmt)        \
    X(av_opt_set_pixel_fmt) X(av_opt_next) X(av_opt_child_class_iterate) X(av_audio_fifo_alloc) \
    X(av_audio_fifo_free) X(av_audio_fifo_write) X(av_audio_fifo_read) X(av_audio_fifo_size) \
    X(av_image_alloc) X(av_image_copy) X(av_image_fill_arrays) X(av_image_get_buffer_size)  \
    X(av_parse_video_size) X(av_parse_video_rate) X(av_parse_time) X(av_gettime)            \
    X(av_gettime_relative) X(av_get_media_type_string) X(av_usleep) X(av_cpu_count)           \
    X(av_pix_fmt_desc_next) X(av_samples_set_silence) X(av_opt_get_int) X(av_get_picture_type_char) \
    X(av_audio_fifo_drain) X(av_channel_layout_from_mask)

#define VEXLO_AVCODEC_FUNCTIONS(X)                                                            \
    X(avcodec_version) X(avcodec_find_decoder) X(avcodec_find_decoder_by_name)               \
    X(avcodec_find_encoder) X(avcodec_find_encoder_by_name) X(avcodec_alloc_context3)        \
    X(avcodec_free_context) X(avcodec_parameters_to_context) X(avcodec_parameters_from_context) \
    X(avcodec_parameters_copy) X(avcodec_parameters_alloc) X(avcodec_parameters_free)        \
    X(avcodec_open2) X(avcodec_send_packet) X(avcodec_receive_frame) X(avcodec_send_frame)   \
    X(avcodec_receive_packet) X(avcodec_flush_buffers) X(avcodec_get_name)                   \
    X(avcodec_descriptor_get) X(avcodec_descriptor_get_by_name) X(avcodec_get_class)         \
    X(av_codec_iterate) X(av_codec_is_encoder) X(av_codec_is_decoder) X(avcodec_string)      \
    X(av_packet_alloc) X(av_packet_free) X(av_packet_unref) X(av_packet_ref)                 \
    X(av_packet_rescale_ts) X(av_packet_clone) X(av_packet_move_ref) X(av_new_packet)        \
    X(av_get_bits_per_sample) X(av_get_profile_name) X(avcodec_profile_name)                 \
    X(av_get_audio_frame_duration) X(av_bsf_get_by_name) X(av_bsf_alloc) X(av_bsf_init)      \
    X(av_bsf_send_packet) X(av_bsf_receive_packet) X(av_bsf_free) X(avsubtitle_free)         \
    X(avcodec_decode_subtitle2) X(avcodec_encode_subtitle) X(av_packet_get_side_data)

#define VEXLO_AVFORMAT_FUNCTIONS(X)                                                           \
    X(avformat_version) X(avformat_open_input) X(avformat_close_input)                       \
    X(avformat_find_stream_info) X(avformat_alloc_context) X(avformat_free_context)          \
    X(avformat_alloc_output_context2) X(avformat_new_stream) X(avformat_write_header)        \
    X(av_write_trailer) X(av_interleaved_write_frame) X(av_write_frame) X(av_read_frame)     \
    X(av_seek_frame) X(avformat_seek_file) X(av_find_input_format) X(av_guess_format)       \
    X(av_guess_codec) X(av_dump_format) X(av_find_best_stream) X(avio_open) X(avio_open2)    \
    X(avio_closep) X(avio_size) X(avio_seek) X(avio_flush) X(av_muxer_iterate)              \
    X(av_demuxer_iterate) X(avformat_query_codec) X(av_codec_get_tag) X(av_codec_get_id)    \
    X(av_filename_number_test) X(av_sdp_create) X(av_guess_frame_rate)                      \
    X(av_guess_sample_aspect_ratio) X(avformat_get_class) X(av_read_pause) X(av_read_play)  \
    X(av_find_program_from_stream)

#define VEXLO_AVFILTER_FUNCTIONS(X)                                                           \
    X(avfilter_version) X(avfilter_get_by_name) X(avfilter_graph_alloc) X(avfilter_graph_free) \
    X(avfilter_graph_create_filter) X(avfilter_graph_parse_ptr) X(avfilter_graph_config)     \
    X(avfilter_inout_alloc) X(avfilter_inout_free) X(av_buffersrc_add_frame_flags)           \
    X(av_buffersrc_write_frame) X(av_buffersink_get_frame) X(av_buffersink_get_frame_flags) \
    X(av_buffersink_set_frame_size) X(av_buffersink_get_time_base) X(av_buffersink_get_format) \
    X(av_buffersink_get_w) X(av_buffersink_get_h) X(av_buffersink_get_sample_rate)          \
    X(av_buffersink_get_ch_layout) X(av_buffersink_get_frame_rate)                          \
    X(av_buffersink_get_sample_aspect_ratio) X(avfilter_link) X(avfilter_init_str)          \
    X(avfilter_graph_alloc_filter) X(av_filter_iterate)

#define VEXLO_SWSCALE_FUNCTIONS(X)                                                            \
    X(swscale_version) X(sws_getContext) X(sws_getCachedContext) X(sws_scale)                \
    X(sws_freeContext) X(sws_scale_frame) X(sws_get_class)

#define VEXLO_SWRESAMPLE_FUNCTIONS(X)                                                         \
    X(swresample_version) X(swr_alloc) X(swr_alloc_set_opts2) X(swr_init) X(swr_convert)     \
    X(swr_free) X(swr_get_delay) X(swr_set_compensation) X(swr_is_initialized)              \
    X(swr_convert_frame) X(swr_get_out_samples) X(swr_close)

#define VEXLO_AVDEVICE_FUNCTIONS(X) X(avdevice_register_all)

#define VEXLO_SDL_FUNCTIONS(X)                                                                \
    X(SDL_Init) X(SDL_Quit) X(SDL_InitSubSystem) X(SDL_QuitSubSystem) X(SDL_GetError)        \
    X(SDL_SetHint) X(SDL_OpenAudioDevice) X(SDL_CloseAudioDevice) X(SDL_PauseAudioDevice)   \
    X(SDL_MixAudioFormat) X(SDL_LockAudioDevice) X(SDL_UnlockAudioDevice)                   \
    X(SDL_GetCurrentAudioDriver) X(SDL_GetVersion)

namespace vexlo::ff {

#define VEXLO_DECLARE_FN(name) decltype(&::name) name = nullptr;
struct AvUtilApi { VEXLO_AVUTIL_FUNCTIONS(VEXLO_DECLARE_FN) };
struct AvCodecApi { VEXLO_AVCODEC_FUNCTIONS(VEXLO_DECLARE_FN) };
struct AvFormatApi { VEXLO_AVFORMAT_FUNCTIONS(VEXLO_DECLARE_FN) };
struct AvFilterApi { VEXLO_AVFILTER_FUNCTIONS(VEXLO_DECLARE_FN) };
struct SwScaleApi { VEXLO_SWSCALE_FUNCTIONS(VEXLO_DECLARE_FN) };
struct SwResampleApi { VEXLO_SWRESAMPLE_FUNCTIONS(VEXLO_DECLARE_FN) };
struct AvDeviceApi { VEXLO_AVDEVICE_FUNCTIONS(VEXLO_DECLARE_FN) };
struct SdlApi { VEXLO_SDL_FUNCTIONS(VEXLO_DECLARE_FN) };
#undef VEXLO_DECLARE_FN

extern AvUtilApi avutil;
extern AvCodecApi avcodec;
extern AvFormatApi avformat;
extern AvFilterApi avfilter;
extern SwScaleApi swscale;
extern SwResampleApi swresample;
extern AvDeviceApi avdevice;
extern SdlApi sdl;

}  // namespace vexlo::ff
