#include "scpi/scpi_engine.h"

#include "scpi/scpi_values.h"

#include <stdexcept>

namespace scpi {

namespace {

std::string_view header_of(std::string_view unit)
{
    const std::size_t start = unit.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    const std::size_t end = unit.find_first_of(" \t", start);
    return unit.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace

Engine::Engine(std::size_t error_queue_size) : status_(error_queue_size), operation_pending_([] { return false; })
{
    add_status_commands();
}

void Engine::add_status_commands()
{
    tree_.add("*CLS", {.set = [this](const Call&) {
                           status_.clear();
                           opc_armed_ = false;
                       },
                       .set_parameters = {0, 0}});
    tree_.add("*ESR", {.query = [this](const Call&) { return std::to_string(status_.read_events()); }});
    tree_.add("*OPC", {.set =
                           [this](const Call&) {
                               if (operation_pending_())
                                   opc_armed_ = true;
                               else
                                   status_.set_event(OperationComplete);
                           },
                       .query = [this](const Call&) { return operation_pending_() ? Reply::later() : Reply("1"); },
                       .set_parameters = {0, 0}});
    // What *WAI waits for is the engine's own: run_unit holds the message.
    tree_.add("*WAI", {.set = [](const Call&) {}, .set_parameters = {0, 0}});
    tree_.add("SYSTem:ERRor[:NEXT]", {.query = [this](const Call&) { return error_response(status_.next_error()); }});
    tree_.add("SYSTem:ERRor:COUNt", {.query = [this](const Call&) { return std::to_string(status_.error_count()); }});
}

void Engine::set_operation_pending(std::function<bool()> pending)
{
    operation_pending_ = pending ? std::move(pending) : [] { return false; };
}

void Engine::execute(std::string_view message)
{
    if (waiting_)
        throw std::logic_error("a program message was given while the last one waits");
    message_ = std::string(message);
    units_ = split_units(message_);
    next_ = 0;
    path_.clear();
    responses_.clear();
    run();
}

void Engine::run()
{
    while (next_ < units_.size()) {
        const Next next = run_unit(units_[next_++]);
        if (next == Next::Wait)
            return;
        if (next == Next::Stop)
            break;
    }
    finish();
}

Engine::Next Engine::run_unit(std::string_view text)
{
    if (is_blank(text))
        return Next::Go;
    ParsedUnit parsed = parse_unit(text);
    if (parsed.error != Error::None) {
        status_.report(parsed.error, parsed.detail);
        return Next::Stop;
    }
    ProgramUnit& u = parsed.unit;
    const std::string_view header = header_of(text);
    std::vector<Mnemonic> path;
    const Command* command = nullptr;
    if (u.common) {
        command = tree_.find_common(u.header[0].name);
    } else {
        if (!u.from_root)
            path = path_;
        path.insert(path.end(), u.header.begin(), u.header.end());
        command = tree_.find(path);
    }
    if (!command) {
        status_.report(Error::UndefinedHeader, header);
        return Next::Stop;
    }
    for (const Mnemonic& m : u.header)
        if (m.suffix != 1) {
            status_.report(Error::HeaderSuffixOutOfRange, header);
            return Next::Stop;
        }
    if (u.query ? !command->query : !command->set) {
        status_.report(Error::UndefinedHeader, std::string(header) + (u.query ? " has no query" : " is a query only"));
        return Next::Stop;
    }
    const Arity& arity = u.query ? command->query_parameters : command->set_parameters;
    if (u.parameters.size() < arity.min) {
        status_.report(Error::MissingParameter, header);
        return Next::Stop;
    }
    if (u.parameters.size() > arity.max) {
        status_.report(Error::ParameterNotAllowed, std::string(header) + " takes " + std::to_string(arity.max));
        return Next::Stop;
    }
    if (!u.common) {
        path.pop_back();
        path_ = std::move(path);
    }
    const Call call{header, u.parameters};
    if (u.query) {
        const Next next = ask(command->query, call);
        if (next == Next::Wait) {
            waiting_query_ = command->query;
            waiting_header_ = std::string(header);
            waiting_parameters_ = std::move(u.parameters);
        }
        return next;
    }
    try {
        command->set(call);
    } catch (const Refusal& r) {
        status_.report(r.error(), r.detail());
        return is_command_error(r.error()) ? Next::Stop : Next::Go;
    } catch (const std::exception& e) {
        status_.report(Error::Execution, e.what());
        return Next::Go;
    } catch (...) {
        status_.report(Error::Execution, header);
        return Next::Go;
    }
    if (u.common && mnemonic_matches("WAI", u.header[0].name) && operation_pending_()) {
        waiting_ = true;
        return Next::Wait;
    }
    return Next::Go;
}

Engine::Next Engine::ask(const std::function<Reply(const Call&)>& query, const Call& call)
{
    try {
        const Reply reply = query(call);
        if (!reply.ready()) {
            waiting_ = true;
            return Next::Wait;
        }
        responses_.push_back(reply.text());
    } catch (const Refusal& r) {
        status_.report(r.error(), r.detail());
        return is_command_error(r.error()) ? Next::Stop : Next::Go;
    } catch (const std::exception& e) {
        status_.report(Error::Execution, e.what());
    } catch (...) {
        status_.report(Error::Execution, call.header);
    }
    return Next::Go;
}

void Engine::poll()
{
    if (opc_armed_ && !operation_pending_()) {
        opc_armed_ = false;
        status_.set_event(OperationComplete);
    }
    if (!waiting_)
        return;
    Next next = Next::Go;
    if (waiting_query_) {
        waiting_ = false;
        const std::function<Reply(const Call&)> query = waiting_query_;
        next = ask(query, Call{waiting_header_, waiting_parameters_});
        if (next == Next::Wait)
            return;
    } else if (operation_pending_()) {
        return;  // *WAI
    }
    waiting_ = false;
    waiting_query_ = nullptr;
    if (next == Next::Stop)
        next_ = units_.size();
    run();
}

std::string Engine::take_output()
{
    std::string out;
    out.swap(output_);
    return out;
}

void Engine::abandon()
{
    if (waiting_ && waiting_query_)
        status_.report(Error::QueryInterrupted, "the controller left before " + waiting_header_ + " was answered");
    waiting_ = false;
    waiting_query_ = nullptr;
    units_.clear();
    next_ = 0;
    responses_.clear();
    output_.clear();
}

void Engine::finish()
{
    if (!responses_.empty()) {
        for (std::size_t i = 0; i < responses_.size(); ++i)
            output_ += (i ? ";" : "") + responses_[i];
        output_ += '\n';
    }
    responses_.clear();
    units_.clear();
    next_ = 0;
}

}  // namespace scpi
